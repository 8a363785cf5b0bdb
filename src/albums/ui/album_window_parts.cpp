// The move buttons, a step's line and a wizard's caller.
#include "albums/ui/album_window_parts.h"

#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tunarium {

QVBoxLayout* makeMoveColumn(QWidget* owner, std::function<void(MoveDirection)> moved,
                            QList<QPushButton*>& buttons) {
    struct Move {
        const char* tip;
        QStyle::StandardPixmap icon;
        MoveDirection direction;
    };
    const Move moves[] = {
        {"Move record to the top", QStyle::SP_MediaSkipBackward, MoveDirection::ToTop},
        {"Move record up one", QStyle::SP_ArrowUp, MoveDirection::Up},
        {"Move record down one", QStyle::SP_ArrowDown, MoveDirection::Down},
        {"Move record to the bottom", QStyle::SP_MediaSkipForward, MoveDirection::ToBottom}};
    auto* column = new QVBoxLayout;
    column->addStretch();
    for (const Move& m : moves) {
        auto* b = new QPushButton;
        QIcon icon = owner->style()->standardIcon(m.icon);
        if (m.direction == MoveDirection::ToTop || m.direction == MoveDirection::ToBottom) {
            // The skip icons point sideways; turned, they point to the ends of the list.
            QTransform turn;
            turn.rotate(90);
            icon = QIcon(icon.pixmap(16).transformed(turn));
        }
        b->setIcon(icon);
        b->setToolTip(QString::fromLatin1(m.tip));
        b->setAccessibleName(QString::fromLatin1(m.tip));
        b->setFocusPolicy(Qt::TabFocus);
        const MoveDirection direction = m.direction;
        QObject::connect(b, &QPushButton::clicked, owner, [moved, direction] { moved(direction); });
        column->addWidget(b);
        buttons << b;
    }
    column->addStretch();
    return column;
}

QLabel* stepLabel(const QString& text) {
    auto* label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QWidget* wizardCaller(const ProcedureContext& context) {
    if (context.caller && context.workspace && context.caller->isAncestorOf(context.workspace)) {
        return nullptr;
    }
    return context.caller;
}

} // namespace tunarium
