// The editors of a label's longer texts (its memos). Memos keep their line breaks as CR LF, as the
// label's fill writes them; the editor shows them as plain line breaks.
#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace tunarium {

inline QString memoShown(const QString& stored) {
    QString text = stored;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

inline QString memoStored(const QPlainTextEdit* edit) {
    QString text = edit->toPlainText();
    text.replace(u'\n', QLatin1String("\r\n"));
    return text;
}

// An editor `lines` high (fixed for a title or a flap of a few lines) and some 60 characters wide,
// which Tab leaves.
inline QPlainTextEdit* makeMemo(int lines) {
    auto* edit = new QPlainTextEdit;
    edit->setTabChangesFocus(true);
    const int height = edit->fontMetrics().lineSpacing() * lines + 12;
    if (lines <= 4) {
        edit->setFixedHeight(height);
    } else {
        edit->setMinimumHeight(height);
    }
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 60);
    return edit;
}

} // namespace tunarium
