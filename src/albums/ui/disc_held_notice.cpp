// The wizards' line for a disc already in the collection.
#include "albums/ui/disc_held_notice.h"

#include "albums/procedure_names.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace tunarium {

DiscHeldNotice::DiscHeldNotice(const ProcedureContext& context, QWidget* parent)
    : QFrame(parent), m_context(context), m_text(new QLabel), m_open(new QPushButton(QStringLiteral("O&pen Album"))) {
    setFrameShape(QFrame::StyledPanel);
    auto* icon = new QLabel;
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(side, side));
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_open->setAutoDefault(false);
    m_open->setEnabled(m_context.procedures.contains(QString::fromLatin1(procedure::kUpdateAlbum)));
    connect(m_open, &QPushButton::clicked, this, &DiscHeldNotice::openAlbum);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_open, 0, Qt::AlignVCenter);
    hide();
}

void DiscHeldNotice::showHolders(const QVector<DiscHolder>& holders) {
    m_albumId = holders.isEmpty() ? 0 : holders.first().album.albumId;
    m_text->setText(discInCollectionText(holders));
    QStringList places;
    if (holders.size() > 1) {
        for (const DiscHolder& h : holders) {
            places << albumPlace(h.album);
        }
    }
    m_text->setToolTip(places.join(u'\n'));
    setVisible(!holders.isEmpty());
}

void DiscHeldNotice::openAlbum() {
    if (m_albumId <= 0) {
        return;
    }
    m_context.procedures.start(QString::fromLatin1(procedure::kUpdateAlbum),
                               m_context.with(albumFormArgument({Request::Change, m_albumId})));
}

} // namespace tunarium
