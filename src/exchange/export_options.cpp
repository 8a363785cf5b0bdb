// The one way an export's choices become a run.
#include "exchange/export_options.h"

#include "exchange/exchange_files.h"

#include <algorithm>

namespace tunarium {

QString chooseExportFields(ExportOptions& options, const QString& list) {
    QVector<ExportField> fields;
    for (const QString& name : list.split(u',', Qt::SkipEmptyParts)) {
        const ExportField* f = findExportable(name);
        if (!f) {
            return QStringLiteral("%1 is not a field an export can write").arg(name.trimmed());
        }
        const bool twice = std::any_of(fields.begin(), fields.end(),
                                       [f](const ExportField& e) { return e.field == f->field; });
        if (!twice) {
            fields << *f;
        }
    }
    options.fields = fields;
    return {};
}

QString setExportPicture(ExportOptions& options, const QString& name, const QString& picture) {
    auto it = std::find_if(options.fields.begin(), options.fields.end(), [&name](const ExportField& e) {
        return e.field.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (it == options.fields.end()) {
        return QStringLiteral("%1 is not among the fields written").arg(name);
    }
    if (const QString problem = pictureProblem(picture); !problem.isEmpty()) {
        return problem;
    }
    it->picture = picture.left(kExchangePictureWidth);
    return {};
}

ExportOptions exportOptionsOf(const ExportChoice& choice, const QString& file) {
    return {file, choice.chosen.rows, choice.header};
}

std::unique_ptr<ExportProcess> openExport(Database& db, Prompter& prompter, const ExportOptions& options) {
    QVector<ExportField> fields = options.fields;
    // The marks are the window's; the run writes every field it is given.
    for (ExportField& f : fields) {
        f.mark = false;
    }
    return openExport(db, prompter, options.file, std::move(fields), options.header, options.selection);
}

} // namespace tunarium
