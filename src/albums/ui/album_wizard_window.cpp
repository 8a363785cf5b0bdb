// The album wizard's window: opening, the three steps, the disc read, Finish and Cancel.
#include "albums/ui/album_wizard_window.h"

#include "albums/ui/album_window_parts.h"
#include "albums/wizard_cd_read.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/picture_edit.h"
#include "data/app_paths.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tunarium {

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
    // The songs step, with its list engine, goes before the wizard whose songs it shows.
    delete m_songs;
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
    build();
    if (!m_songs->open()) {
        m_wizard->cancel();
        return false;
    }
    display();
    showStep();
    present(area);
    m_songs->fitLines();
    m_songs->showSide();
    return true;
}

void AlbumWizardWindow::build() {
    m_tabs = new QTabWidget;
    m_tabs->addTab(buildType(), QStringLiteral("Type"));
    m_facts = new AlbumFactsPage;
    m_tabs->addTab(m_facts, QStringLiteral("General"));
    m_songs = new AlbumWizardSongsStep(
        m_context, *m_wizard, this, m_positionFile, [this] { readDisc(); }, [this] { nextSide(); });
    m_tabs->addTab(m_songs, QStringLiteral("Songs"));

    m_back = new QPushButton(QStringLiteral("&Back"));
    m_next = new QPushButton(QStringLiteral("&Next"));
    m_finish = new QPushButton(QStringLiteral("&Finish"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_next->setDefault(true);
    connect(m_back, &QPushButton::clicked, this, &AlbumWizardWindow::back);
    connect(m_next, &QPushButton::clicked, this, &AlbumWizardWindow::next);
    connect(m_finish, &QPushButton::clicked, this, &AlbumWizardWindow::finishWizard);
    connect(m_cancel, &QPushButton::clicked, this, &AlbumWizardWindow::cancelRequested);

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
    layout->addWidget(stepLabel(QStringLiteral("Step 1:  Select the kind of album you are adding.")));
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

void AlbumWizardWindow::display() {
    (m_wizard->kind() == AlbumKind::SingleArtist ? m_single : m_compilation)->setChecked(true);
    m_oneDisc->setChecked(true);
    m_facts->display(*m_wizard);
}

bool AlbumWizardWindow::readFields() {
    QWidget* refused = m_facts->readInto(*m_wizard, m_context.prompter, windowTitle());
    if (refused) {
        m_tabs->setCurrentIndex(1);
        refused->setFocus();
    }
    return refused == nullptr;
}

bool AlbumWizardWindow::waiting() const {
    return m_reading || m_songs->songForm();
}

QPushButton* AlbumWizardWindow::button(const QString& text) const {
    for (QPushButton* b : {m_back, m_next, m_finish, m_cancel}) {
        if (b->text() == text) {
            return b;
        }
    }
    return m_songs->button(text);
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
    m_facts->setSideEnabled(sides);
    m_songs->setSidesEnabled(sides);
}

void AlbumWizardWindow::next() {
    if (waiting() || !m_wizard->nextEnabled()) {
        return;
    }
    if (m_wizard->step() == 2 && (!readFields() || !requiredFilled())) {
        return;
    }
    const bool read = m_wizard->next();
    showStep();
    m_songs->showSide();
    if (read) {
        readDisc();
    } else if (m_wizard->step() == 3) {
        list()->setFocus();
    } else if (m_wizard->step() == 2) {
        artistField()->setFocus();
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
    (artist ? artistField() : albumField())->setFocus();
    return false;
}

void AlbumWizardWindow::backToFacts(QWidget* field) {
    while (m_wizard->step() > 2) {
        m_wizard->back();
    }
    showStep();
    m_facts->showSide(m_wizard->side());
    field->setFocus();
}

void AlbumWizardWindow::back() {
    if (waiting()) {
        return;
    }
    m_wizard->back();
    showStep();
    if (m_wizard->step() == 2) {
        m_facts->showSide(m_wizard->side());
        artistField()->setFocus();
    }
}

void AlbumWizardWindow::finishWizard() {
    if (waiting() || !m_wizard->finishVisible()) {
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
        backToFacts(albumField());
    }
}

bool AlbumWizardWindow::confirmCancel() {
    qint64 songs = 0;
    if (StoreError e = m_wizard->songCount(songs)) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Tunarium"));
        return false;
    }
    return m_context.prompter.message(AlbumWizard::cancelQuestion(songs)) == kButtonYes;
}

bool AlbumWizardWindow::cancelWizard() {
    // A song form open over the wizard ends first (a song it added goes with it), then a read.
    m_songs->closeSongForm();
    delete m_reading.data();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool cancelled = m_wizard->cancel();
    QApplication::restoreOverrideCursor();
    if (cancelled) {
        m_done = true;
        m_songs->close();
    }
    return cancelled;
}

void AlbumWizardWindow::cancelRequested() {
    if (waiting()) {
        return;
    }
    if (confirmCancel() && cancelWizard()) {
        finish(Response::Cancelled);
    }
}

void AlbumWizardWindow::closing() {}

void AlbumWizardWindow::nextSide() {
    if (waiting() || !m_wizard->sideControlsOn()) {
        return;
    }
    const bool read = m_wizard->nextSide();
    m_facts->showSide(m_wizard->side());
    m_songs->showSide();
    if (read) {
        readDisc();
    }
}

void AlbumWizardWindow::readDisc() {
    if (waiting()) {
        return;
    }
    AlbumWizard* wizard = m_wizard.get();
    auto read = std::make_unique<WizardCdRead>(
        m_context.db, wizard->album(),
        [wizard](const CdReader& reader, const AlbumRecord& album) { return wizard->applyRead(reader, album); },
        m_context.prompter, m_context.settings, m_context.db.collectionDir());
    const WizardCdRead* job = read.get();
    QPointer<AlbumWizardWindow> self(this);
    setReading(true);
    auto* window = new ReadingCdWindow(std::move(read), this, [self, job](bool succeeded) {
        if (!self || self->m_done) {
            return;
        }
        self->setReading(false);
        self->m_notice->showHolders(succeeded ? job->holders() : QVector<DiscHolder>());
        self->m_songs->refreshList();
        if (self->m_wizard->discHeld()) {
            // The disc is another album's (said in the message): back to the album's facts.
            self->backToFacts(self->mediaBox());
            return;
        }
        self->list()->setFocus();
    });
    m_reading = window;
    window->start();
}

void AlbumWizardWindow::setReading(bool reading) {
    m_tabs->setEnabled(!reading);
    for (QPushButton* b : {m_back, m_next, m_finish, m_cancel}) {
        b->setEnabled(!reading && (b != m_back || m_wizard->backEnabled()) &&
                      (b != m_next || m_wizard->nextEnabled()));
    }
}

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
