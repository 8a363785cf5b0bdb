// The album wizard's window: opening, the three steps, the album's facts, Finish and Cancel.
#include "albums/ui/album_wizard_window.h"

#include "albums/ui/album_window_parts.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/song_form_window.h"
#include "data/app_paths.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

QLabel* stepLabel(const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

AlbumWizardWindow::AlbumWizardWindow(const ProcedureContext& context)
    : FormWindow(QStringLiteral("AlbumWizard"), positionFilePath(context.db.collectionDir()),
                 wizardCaller(context),
                 [answer = context.answer](Response response) {
                     if (answer) {
                         answer(static_cast<int>(response), Row());
                     }
                 }),
      m_context(context), m_wizard(std::make_unique<AlbumWizard>(context.db, context.settings)),
      m_positionFile(positionFilePath(context.db.collectionDir())) {
    setWindowTitle(QStringLiteral("Album Wizard"));
}

AlbumWizardWindow::~AlbumWizardWindow() {
    // The list engine goes before the wizard whose songs it shows.
    m_engine.reset();
}

AlbumWizardWindow* AlbumWizardWindow::openWizard(const ProcedureContext& context) {
    auto* window = new AlbumWizardWindow(context);
    if (!window->start(context.workspace)) {
        window->m_done = true;
        window->deleteLater();
        return nullptr;
    }
    return window;
}

bool AlbumWizardWindow::start(QMdiArea* area) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = m_wizard->open();
    QApplication::restoreOverrideCursor();
    if (!opened) {
        return false;
    }
    m_engine = std::make_unique<ListEngine>(m_context.db, albumWizardSongsDefinition(), *this);
    if (!m_engine->open()) {
        m_wizard->cancel();
        return false;
    }
    build();
    display();
    showStep();
    present(area);
    updateLineCount();
    showSide();
    return true;
}

void AlbumWizardWindow::build() {
    m_tabs = new QTabWidget;
    m_tabs->addTab(buildType(), QStringLiteral("Type"));
    m_tabs->addTab(buildGeneral(), QStringLiteral("General"));
    m_tabs->addTab(buildSongs(), QStringLiteral("Songs"));

    m_back = new QPushButton(QStringLiteral("&Back"));
    m_next = new QPushButton(QStringLiteral("&Next"));
    m_finish = new QPushButton(QStringLiteral("&Finish"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_next->setDefault(true);
    connect(m_back, &QPushButton::clicked, this, &AlbumWizardWindow::back);
    connect(m_next, &QPushButton::clicked, this, &AlbumWizardWindow::next);
    connect(m_finish, &QPushButton::clicked, this, &AlbumWizardWindow::finishWizard);
    connect(m_cancel, &QPushButton::clicked, this, &AlbumWizardWindow::cancelRequested);
    m_buttons << m_back << m_next << m_finish << m_cancel;

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    for (QPushButton* b : {m_back, m_next, m_finish, m_cancel}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    m_notice = new DiscHeldNotice(m_context.calledFrom(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_notice);
    layout->addLayout(bottom);
}

QWidget* AlbumWizardWindow::buildType() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(stepLabel("Step 1:  Select the kind of album you are adding."));
    auto* artists = new QGroupBox(QStringLiteral("Number of Artists"));
    auto* artistsLayout = new QVBoxLayout(artists);
    m_single = new QRadioButton(QStringLiteral("Single Artist Album"));
    m_compilation = new QRadioButton(QStringLiteral("Compilation"));
    artistsLayout->addWidget(m_single);
    artistsLayout->addWidget(m_compilation);
    auto* discs = new QGroupBox(QStringLiteral("Number of Discs/Sides"));
    auto* discsLayout = new QVBoxLayout(discs);
    m_oneDisc = new QRadioButton(QStringLiteral("One Disc or Side"));
    m_multiDisc = new QRadioButton(QStringLiteral("Multi-Disc CD"));
    m_cassette = new QRadioButton(QStringLiteral("Cassette"));
    for (QRadioButton* b : {m_oneDisc, m_multiDisc, m_cassette}) {
        discsLayout->addWidget(b);
    }
    auto* groups = new QHBoxLayout;
    groups->addWidget(artists);
    groups->addWidget(discs);
    layout->addLayout(groups);
    layout->addStretch();
    connect(m_single, &QRadioButton::toggled, this,
            [this](bool on) { m_wizard->setKind(on ? AlbumKind::SingleArtist : AlbumKind::Compilation); });
    const auto carrier = [this](QRadioButton* b, AlbumCarrier value) {
        connect(b, &QRadioButton::toggled, this, [this, value](bool on) {
            if (on) {
                m_wizard->setCarrier(value);
            }
        });
    };
    carrier(m_oneDisc, AlbumCarrier::OneDiscOrSide);
    carrier(m_multiDisc, AlbumCarrier::MultiDiscCd);
    carrier(m_cassette, AlbumCarrier::Cassette);
    return page;
}

QWidget* AlbumWizardWindow::buildGeneral() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(stepLabel("Step 2:  Enter the basic album information."));
    auto* form = new QFormLayout;
    m_artist = new PictureEdit(QStringLiteral("@s50"));
    m_album = new PictureEdit(QStringLiteral("@s50"));
    m_media = new QComboBox;
    m_media->setEditable(true);
    m_media->setInsertPolicy(QComboBox::NoInsert);
    setMinimumCharacters(m_media, 20);
    m_category = new QComboBox;
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    m_category->lineEdit()->setMaxLength(30);
    setMinimumCharacters(m_category, 30);
    m_fileNumber = new PictureEdit(QStringLiteral("@s20"));
    m_releaseDate = new PictureEdit(SongRules::formPicture(tun::kReleaseDate));
    m_side = new PictureEdit(QStringLiteral("@n2b"));
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
    return page;
}

void AlbumWizardWindow::display() {
    const AlbumRecord& album = m_wizard->album();
    (m_wizard->kind() == AlbumKind::SingleArtist ? m_single : m_compilation)->setChecked(true);
    m_oneDisc->setChecked(true);
    m_artist->setValue(album.artist);
    m_album->setValue(album.album);
    m_media->clear();
    m_media->addItems(m_wizard->choices().mediaChoices());
    m_media->setCurrentText(album.media);
    m_category->clear();
    m_category->addItem(QString());
    for (const CategoryChoice& choice : m_wizard->choices().categoryChoices()) {
        m_category->addItem(choice.name);
    }
    m_category->setCurrentText(m_wizard->choices().categoryName(album.categoryId));
    m_fileNumber->setValue(album.fileNumber);
    m_releaseDate->setValue(album.releaseDate);
    m_side->setValue(m_wizard->side());
}

bool AlbumWizardWindow::readFields() {
    if (refuseUnreadable({m_releaseDate, m_side}, m_context.prompter, windowTitle())) {
        return false;
    }
    AlbumRecord& album = m_wizard->album();
    album.artist = m_artist->value().toString();
    album.album = m_album->value().toString();
    album.fileNumber = m_fileNumber->value().toString();
    album.releaseDate = m_releaseDate->value().toLongLong();
    m_wizard->setSide(std::clamp<qint64>(m_side->value().toLongLong(), 0, 99));
    const auto refused = [this](const QString& label, const QString& table, QWidget* field) {
        m_context.prompter.message({QStringLiteral("Field Contents Error"),
                                    QStringLiteral("The value for ") + label +
                                        QStringLiteral(" must be found in the ") + table +
                                        QStringLiteral(" file."),
                                    PromptIcon::Exclamation, kButtonOk, kButtonOk});
        m_tabs->setCurrentIndex(1);
        field->setFocus();
        return false;
    };
    const QString media = m_media->currentText().trimmed();
    const QStringList& choices = m_wizard->choices().mediaChoices();
    const auto known = std::find_if(choices.begin(), choices.end(), [&](const QString& choice) {
        return choice.trimmed().compare(media, Qt::CaseInsensitive) == 0;
    });
    if (!choices.isEmpty() && known == choices.end()) {
        return refused(QStringLiteral("Media"), QStringLiteral("Media"), m_media);
    }
    album.media = known != choices.end() ? known->trimmed() : media;
    if (!m_wizard->setCategoryName(m_category->currentText())) {
        return refused(QStringLiteral("Category"), QStringLiteral("Categories"), m_category);
    }
    return true;
}

QPushButton* AlbumWizardWindow::button(const QString& text) const {
    for (QPushButton* b : m_buttons) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

QRadioButton* AlbumWizardWindow::kindButton(AlbumKind kind) const {
    return kind == AlbumKind::SingleArtist ? m_single : m_compilation;
}

QRadioButton* AlbumWizardWindow::carrierButton(AlbumCarrier carrier) const {
    switch (carrier) {
    case AlbumCarrier::MultiDiscCd:
        return m_multiDisc;
    case AlbumCarrier::Cassette:
        return m_cassette;
    default:
        return m_oneDisc;
    }
}

void AlbumWizardWindow::showStep() {
    const int step = m_wizard->step();
    for (int i = 0; i < m_tabs->count(); ++i) {
        m_tabs->setTabEnabled(i, i == step - 1);
    }
    m_tabs->setCurrentIndex(step - 1);
    m_back->setEnabled(m_wizard->backEnabled());
    m_next->setEnabled(m_wizard->nextEnabled());
    m_finish->setVisible(m_wizard->finishVisible());
    m_next->setDefault(!m_wizard->finishVisible());
    m_finish->setDefault(m_wizard->finishVisible());
    // Side controls switched off are disabled, so the layout does not jump between steps.
    const bool sides = m_wizard->sideControlsOn();
    m_side->setEnabled(sides);
    m_sideLabel->setEnabled(sides);
    m_nextSide->setEnabled(sides);
}

void AlbumWizardWindow::next() {
    if (m_reading || m_songForm || !m_wizard->nextEnabled()) {
        return;
    }
    if (m_wizard->step() == 2 && (!readFields() || !requiredFilled())) {
        return;
    }
    const bool read = m_wizard->next();
    showStep();
    showSide();
    if (read) {
        readDisc();
    } else if (m_wizard->step() == 3) {
        m_list->setFocus();
    } else if (m_wizard->step() == 2) {
        m_artist->setFocus();
    }
}

bool AlbumWizardWindow::requiredFilled() {
    const AlbumWizard::Required missing = m_wizard->missingRequired();
    if (missing == AlbumWizard::Required::None) {
        return true;
    }
    const bool artist = missing == AlbumWizard::Required::Artist;
    m_context.prompter.message({QStringLiteral("Required Field"),
                                (artist ? QStringLiteral("Artist") : QStringLiteral("Album")) +
                                    QStringLiteral(" is a required field: enter it before going on."),
                                PromptIcon::Exclamation, kButtonOk, kButtonOk});
    m_tabs->setCurrentIndex(1);
    (artist ? m_artist : m_album)->setFocus();
    return false;
}

void AlbumWizardWindow::backToFacts(QWidget* field) {
    while (m_wizard->step() > 2) {
        m_wizard->back();
    }
    showStep();
    m_side->setValue(m_wizard->side());
    field->setFocus();
}

void AlbumWizardWindow::back() {
    if (m_reading || m_songForm) {
        return;
    }
    m_wizard->back();
    showStep();
    if (m_wizard->step() == 2) {
        m_side->setValue(m_wizard->side());
        m_artist->setFocus();
    }
}

void AlbumWizardWindow::finishWizard() {
    if (m_reading || m_songForm || !m_wizard->finishVisible()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int result = m_wizard->finish();
    QApplication::restoreOverrideCursor();
    if (result == kRoutineDone) {
        m_done = true;
        finish(Response::Completed);
    } else if (m_wizard->step() == 2) {
        // A key another album holds: back where the artist and name (or the disc) are changed.
        backToFacts(m_album);
    }
}

bool AlbumWizardWindow::confirmCancel() {
    qint64 songs = 0;
    if (StoreError e = m_wizard->songCount(songs)) {
        m_context.db.warnings().saveError(e);
        m_context.db.warnings().show(warning::kRecordRetrievalError, QStringLiteral("Tunarium"));
        return false;
    }
    return m_context.prompter.message(AlbumWizard::cancelQuestion(songs)) == kButtonYes;
}

bool AlbumWizardWindow::cancelWizard() {
    // A song form open over the wizard ends first (a song it added goes with it), then a read.
    if (m_songForm) {
        m_songForm->close();
    }
    delete m_reading.data();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool cancelled = m_wizard->cancel();
    QApplication::restoreOverrideCursor();
    if (cancelled) {
        m_done = true;
        if (m_engine) {
            m_engine->close();
        }
    }
    return cancelled;
}

void AlbumWizardWindow::cancelRequested() {
    if (m_reading || m_songForm) {
        return;
    }
    if (confirmCancel() && cancelWizard()) {
        finish(Response::Cancelled);
    }
}

void AlbumWizardWindow::closing() {}

void AlbumWizardWindow::closeEvent(QCloseEvent* event) {
    // Closed from outside (its close box, the frame closing): a Cancel, asked as Cancel is. When
    // the answer is No, or the songs cannot be removed, the window stays, and so does the frame.
    if (!m_done && (!confirmCancel() || !cancelWizard())) {
        event->ignore();
        return;
    }
    FormWindow::closeEvent(event);
}

} // namespace tunarium
