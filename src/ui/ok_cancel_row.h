// The buttons that end a form or a dialog, the same in every window: "&OK", the default button,
// and beside it the window's way out ("Cancel", or the caption the window gives it: "&Cancel",
// "Close" for a form that changed nothing), at the right of a row that may begin with the
// window's own buttons or check boxes.
#pragma once

#include <QList>
#include <QString>

#include <functional>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace tunarium {

// The caption of every OK button of the program.
QString okText();

// "&OK" as the default button of `owner`, pressing it runs `pressed`.
QPushButton* makeOkButton(QWidget* owner, std::function<void()> pressed);

struct OkCancelRow {
    QHBoxLayout* layout = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr; // null for a row without one
};

// The row: `leading` at its left, a stretch, OK, and the cancel button (none for an empty
// `cancelText`). The caller puts the layout in its own.
OkCancelRow makeOkCancelRow(QWidget* owner, std::function<void()> ok, std::function<void()> cancel,
                            const QString& cancelText = QStringLiteral("Cancel"),
                            const QList<QWidget*>& leading = {});

} // namespace tunarium
