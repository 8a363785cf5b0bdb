// What an import tells at its end: lines left out, values cut, a run that added nothing, and
// the "Import Complete" question.
#include "exchange/import_process.h"

namespace tunarium {

PromptMessage ImportProcess::rejectionMessage() const {
    PromptMessage m;
    if (m_rejectedCount == 0) {
        return m;
    }
    m.caption = QStringLiteral("Lines Not Imported");
    m.text = (m_rejectedCount == 1 ? QStringLiteral("1 line was not imported")
                                   : QStringLiteral("%1 lines were not imported").arg(m_rejectedCount)) +
             QStringLiteral(": a value did not fit its song field.\n\n") + m_rejections.join(u'\n');
    if (m_rejectedCount > m_rejections.size()) {
        m.text += QStringLiteral("\n... and %1 more.").arg(m_rejectedCount - m_rejections.size());
    }
    m.icon = PromptIcon::Exclamation;
    m.buttons = kButtonOk;
    m.defaultButton = kButtonOk;
    return m;
}

QString ImportProcess::cutSummary() const {
    if (m_valuesCut == 0) {
        return {};
    }
    return (m_valuesCut == 1 ? QStringLiteral("1 value was cut to its field's width")
                             : QStringLiteral("%1 values were cut to their field's width").arg(m_valuesCut)) +
           QStringLiteral("; first: ") + m_firstCut;
}

QString ImportProcess::skippedSummary() const {
    QStringList parts;
    if (m_emptySkipped > 0) {
        parts << (m_emptySkipped == 1 ? QStringLiteral("1 empty line was skipped")
                                      : QStringLiteral("%1 empty lines were skipped").arg(m_emptySkipped));
    }
    if (const qint64 nuls = nulsDropped(); nuls > 0) {
        parts << (nuls == 1 ? QStringLiteral("1 NUL character was dropped")
                            : QStringLiteral("%1 NUL characters were dropped").arg(nuls));
    }
    return parts.join(QStringLiteral("; "));
}

QString ImportProcess::nothingImportedReason() const {
    if (m_added > 0) {
        return {};
    }
    if (m_broken) {
        return m_failure.isEmpty() ? QStringLiteral("the songs table could not be opened")
                                   : m_failure;
    }
    if (m_addFailed) {
        return QStringLiteral("the songs could not be added (%1)").arg(m_failure);
    }
    if (state() == State::Cancelled) {
        return QStringLiteral("the import was cancelled before a song was added");
    }
    if (m_rejectedCount > 0) {
        return m_rejectedCount == 1
                   ? QStringLiteral("the file's one line holds a value that does not fit its song field")
                   : QStringLiteral("each of the file's %1 lines holds a value that does not fit its "
                                    "song field")
                         .arg(m_rejectedCount);
    }
    if (m_emptySkipped > 0) {
        return QStringLiteral("every line of the file is empty");
    }
    return m_plan.stripHeader ? QStringLiteral("the file holds no lines after its header record")
                              : QStringLiteral("the file holds no lines");
}

PromptMessage importCompleteQuestion() {
    PromptMessage m;
    m.caption = QStringLiteral("Import Complete");
    m.text =
        QStringLiteral("The Songs database has been updated.  Do you want to create Albums database entries "
                       "for the imported songs?");
    m.icon = PromptIcon::Question;
    m.buttons = kButtonYes | kButtonNo;
    m.defaultButton = kButtonYes;
    return m;
}

PromptMessage noSongsImportedMessage(const ImportProcess& process) {
    PromptMessage m;
    m.caption = QStringLiteral("No Songs Imported");
    m.text = QStringLiteral("No songs were imported: ") + process.nothingImportedReason() + u'.';
    if (process.linesRejected() > 0) {
        // The lines themselves, as the message of lines left out lists them.
        const QString lines = process.rejectionMessage().text;
        m.text += lines.mid(lines.indexOf(QStringLiteral("\n\n")));
    }
    m.icon = PromptIcon::Exclamation;
    m.buttons = kButtonOk;
    m.defaultButton = kButtonOk;
    return m;
}

bool importFinished(const ImportProcess& process, Prompter& prompter) {
    if (process.songsAdded() == 0) {
        prompter.message(noSongsImportedMessage(process));
        return false;
    }
    if (process.linesRejected() > 0) {
        prompter.message(process.rejectionMessage());
    }
    if (process.valuesCut() > 0) {
        PromptMessage cut;
        cut.caption = QStringLiteral("Values Cut");
        cut.text = process.cutSummary() + u'.';
        cut.icon = PromptIcon::Information;
        prompter.message(cut);
    }
    if (const QString skipped = process.skippedSummary(); !skipped.isEmpty()) {
        PromptMessage m;
        m.caption = QStringLiteral("Lines Skipped");
        m.text = skipped + u'.';
        m.icon = PromptIcon::Information;
        prompter.message(m);
    }
    if (!process.completed() || process.failedToStart()) {
        return false;
    }
    return prompter.message(importCompleteQuestion()) == kButtonYes;
}

} // namespace tunarium
