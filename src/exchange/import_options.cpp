// The one way an import's choices become a run.
#include "exchange/import_options.h"

namespace tunarium {

namespace {

QString noSuchColumn(const ImportSetup& setup, const QString& column) {
    return QStringLiteral("the file has no %1 (it has Field_1 to Field_%2)")
        .arg(column)
        .arg(setup.fields().size());
}

} // namespace

QString applyImportOptions(ImportSetup& setup, const ImportOptions& options) {
    for (const auto& [column, picture] : options.pictures) {
        const int f = setup.fieldIndex(column);
        if (f < 0) {
            return noSuchColumn(setup, column);
        }
        if (const QString problem = pictureProblem(picture); !problem.isEmpty()) {
            return problem;
        }
        setup.setPicture(f, picture);
    }
    if (options.assignments.isEmpty()) {
        setup.autoAssign();
        for (const auto& [column, picture] : options.pictures) {
            setup.setPicture(setup.fieldIndex(column), picture);
        }
    }
    for (const auto& [column, target] : options.assignments) {
        const int f = setup.fieldIndex(column);
        const int t = setup.targetIndex(target);
        if (f < 0) {
            return noSuchColumn(setup, column);
        }
        if (t < 0) {
            return QStringLiteral("%1 is not a song field an import can fill").arg(target);
        }
        setup.assign(t, f);
    }
    if (options.stripHeader) {
        setup.setStripHeader(*options.stripHeader);
    }
    return {};
}

QString importRunProblem(const ImportSetup& setup) {
    return setup.anyAssigned() ? QString() : QStringLiteral("You must select one or more fields to import.");
}

std::unique_ptr<ImportProcess> makeImportRun(Database& db, ImportSetup& setup) {
    ImportPlan plan = setup.plan();
    return std::make_unique<ImportProcess>(db, setup.takeReader(), std::move(plan));
}

std::unique_ptr<AlbumEntriesProcess> albumEntriesAfter(Database& db, const ImportProcess& run,
                                                       const ImportOptions& options) {
    if (!options.createAlbums || run.songsAdded() == 0 || run.lastAddedRec() == 0) {
        return nullptr;
    }
    // The songs this import added, not every song of the collection that has no album.
    return std::make_unique<AlbumEntriesProcess>(db, SongSpan{run.firstAddedRec(), run.lastAddedRec()});
}

} // namespace tunarium
