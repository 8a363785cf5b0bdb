// The OK and cancel buttons of every form and dialog.
#include "ui/ok_cancel_row.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace tunarium {

QString okText() {
    return QStringLiteral("&OK");
}

QPushButton* makeOkButton(QWidget* owner, std::function<void()> pressed) {
    auto* ok = new QPushButton(okText(), owner);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, owner, [pressed = std::move(pressed)] { pressed(); });
    return ok;
}

OkCancelRow makeOkCancelRow(QWidget* owner, std::function<void()> ok, std::function<void()> cancel,
                            const QString& cancelText, const QList<QWidget*>& leading) {
    OkCancelRow row;
    row.layout = new QHBoxLayout;
    for (QWidget* w : leading) {
        row.layout->addWidget(w);
    }
    row.layout->addStretch();
    row.ok = makeOkButton(owner, std::move(ok));
    row.layout->addWidget(row.ok);
    if (!cancelText.isEmpty()) {
        row.cancel = new QPushButton(cancelText, owner);
        QObject::connect(row.cancel, &QPushButton::clicked, owner, [cancel = std::move(cancel)] {
            if (cancel) {
                cancel();
            }
        });
        row.layout->addWidget(row.cancel);
    }
    return row;
}

} // namespace tunarium
