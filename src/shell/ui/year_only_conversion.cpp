// The year-only conversion with its progress windows.
#include "shell/ui/year_only_conversion.h"

#include "albums/housekeeping.h"
#include "data/table_lease.h"
#include "process/ui/process_window.h"

#include <QTimer>

namespace tunarium {

namespace {

struct Run {
    ProcedureContext context;
    std::function<void()> then;
    QString backup;
    qint64 songs = 0;
    qint64 albums = 0;
};

void tell(const std::shared_ptr<Run>& run, const QString& text, PromptIcon icon) {
    PromptMessage m;
    m.caption = QStringLiteral("Year Only");
    m.text = text;
    m.icon = icon;
    run->context.prompter.message(m);
    if (run->then) {
        run->then();
    }
}

void finish(const std::shared_ptr<Run>& run, bool completed) {
    tell(run, yearOnlyReport(run->songs, run->albums, completed, run->backup),
         completed ? PromptIcon::Information : PromptIcon::Exclamation);
}

// The progress windows stand on their own: the window that asked (the setup wizard, modal over the
// frame) must not keep the user from their Cancel.
void convertAlbums(const std::shared_ptr<Run>& run) {
    auto process = std::make_unique<DateConversionProcess>(run->context.db, TableId::Album);
    DateConversionProcess* albums = process.get();
    runProcessWindow(nullptr, std::move(process), [run, albums](bool completed) {
        run->albums = albums->changed();
        const bool whole = completed && !albums->failed();
        QTimer::singleShot(0, [run, whole] { finish(run, whole); });
    });
}

} // namespace

void runYearOnlyConversion(const ProcedureContext& context, std::function<void()> then) {
    auto run = std::make_shared<Run>(Run{context, std::move(then), {}, 0, 0});
    Database& db = context.db;
    StoreError failure;
    if (const TableLease songs(db, {TableId::Tunarium}); songs) {
        failure = backupBeforeYearOnly(db.store(), run->backup);
    } else {
        failure = StoreError::of(code::kInvalidDataFile);
    }
    if (failure) {
        // Without a copy the conversion could not be undone: it does not start.
        tell(run,
             QStringLiteral("No copy of the collection could be made, so no date was converted.\n%1")
                 .arg(failure.describe()),
             PromptIcon::Exclamation);
        return;
    }
    auto process = std::make_unique<DateConversionProcess>(db, TableId::Tunarium);
    DateConversionProcess* songs = process.get();
    runProcessWindow(nullptr, std::move(process), [run, songs](bool completed) {
        run->songs = songs->changed();
        const bool whole = completed && !songs->failed();
        QTimer::singleShot(0, [run, whole] { whole ? convertAlbums(run) : finish(run, false); });
    });
}

void settleDateFormat(const ProcedureContext& context, const PreferenceEditor& editor,
                      std::function<void()> then) {
    if (editor.asksYearOnly()) {
        PromptMessage m;
        m.caption = QStringLiteral("Basic Format Changed");
        m.text = QString::fromLatin1(kYearOnlyQuestion);
        m.icon = PromptIcon::Question;
        m.buttons = kButtonYes | kButtonNo;
        m.defaultButton = kButtonYes;
        if (context.prompter.message(m) == kButtonYes) {
            runYearOnlyConversion(context, std::move(then));
            return;
        }
    }
    then();
}

} // namespace tunarium
