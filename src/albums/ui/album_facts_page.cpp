// The album wizard's page of the album's facts.
#include "albums/ui/album_facts_page.h"

#include "albums/album_wizard.h"
#include "albums/ui/album_window_parts.h"
#include "catalogue/ui/picture_edit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tunarium {

namespace {

QComboBox* choiceBox(int characters) {
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    setMinimumCharacters(box, characters);
    return box;
}

} // namespace

AlbumFactsPage::AlbumFactsPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stepLabel(QStringLiteral("Step 2:  Enter the basic album information.")));
    auto* form = new QFormLayout;
    m_artist = new PictureEdit(TableId::Album, alb::kArtist);
    m_album = new PictureEdit(TableId::Album, alb::kAlbum);
    m_media = choiceBox(20);
    m_category = choiceBox(30);
    m_category->lineEdit()->setMaxLength(tableDef(TableId::Categories).field(cat::kCategory).width);
    m_fileNumber = new PictureEdit(TableId::Album, alb::kFileNumber);
    m_releaseDate = new PictureEdit(TableId::Tunarium, tun::kReleaseDate);
    m_side = new PictureEdit(TableId::Tunarium, tun::kSide);
    form->addRow(QStringLiteral("&Artist*:"), m_artist);
    form->addRow(QStringLiteral("A&lbum*:"), m_album);
    form->addRow(QStringLiteral("&Media:"), m_media);
    form->addRow(QStringLiteral("&Category:"), m_category);
    form->addRow(QStringLiteral("&File Number:"), m_fileNumber);
    form->addRow(QStringLiteral("&Release Date:"), m_releaseDate);
    m_sideLabel = new QLabel(QStringLiteral("Side/Disc:"));
    m_sideLabel->setBuddy(m_side);
    form->addRow(m_sideLabel, m_side);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("* - Required Field")));
    layout->addStretch();
}

void AlbumFactsPage::display(const AlbumWizard& wizard) {
    const AlbumRecord& album = wizard.album();
    m_artist->setValue(album.artist);
    m_album->setValue(album.album);
    m_media->clear();
    m_media->addItems(wizard.choices().mediaChoices());
    m_media->setCurrentText(album.media);
    m_category->clear();
    m_category->addItem(QString());
    for (const CategoryChoice& choice : wizard.choices().categoryChoices()) {
        m_category->addItem(choice.name);
    }
    m_category->setCurrentText(wizard.choices().categoryName(album.categoryId));
    m_fileNumber->setValue(album.fileNumber);
    m_releaseDate->setValue(album.releaseDate);
    showSide(wizard.side());
}

void AlbumFactsPage::showSide(qint64 side) {
    m_side->setValue(side);
}

void AlbumFactsPage::setSideEnabled(bool enabled) {
    m_side->setEnabled(enabled);
    m_sideLabel->setEnabled(enabled);
}

QWidget* AlbumFactsPage::readInto(AlbumWizard& wizard, Prompter& prompter, const QString& caption) {
    if (PictureEdit* unread = refuseUnreadable({m_releaseDate, m_side}, prompter, caption)) {
        return unread;
    }
    AlbumRecord& album = wizard.album();
    album.artist = m_artist->value().toString();
    album.album = m_album->value().toString();
    album.fileNumber = m_fileNumber->value().toString();
    album.releaseDate = m_releaseDate->value().toLongLong();
    wizard.setSide(std::clamp<qint64>(m_side->value().toLongLong(), 0, 99));
    const auto refused = [&prompter](const QString& label, const QString& table, QWidget* field) {
        prompter.message({QStringLiteral("Field Contents Error"),
                          QStringLiteral("The value for ") + label + QStringLiteral(" must be found in the ") +
                              table + QStringLiteral(" file."),
                          PromptIcon::Exclamation, kButtonOk, kButtonOk});
        return field;
    };
    if (!wizard.setMediaName(m_media->currentText())) {
        return refused(QStringLiteral("Media"), QStringLiteral("Media"), m_media);
    }
    if (!wizard.setCategoryName(m_category->currentText())) {
        return refused(QStringLiteral("Category"), QStringLiteral("Categories"), m_category);
    }
    return nullptr;
}

} // namespace tunarium
