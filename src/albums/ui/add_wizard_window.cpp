// The add wizards' window: opening, the album-wide facts, OK and Cancel.
#include "albums/ui/add_wizard_window.h"

#include "albums/ui/album_window_parts.h"
#include "albums/ui/reading_cd_window.h"
#include "albums/ui/track_form_window.h"
#include "albums/ui/wizard_list_panel.h"
#include "catalogue/ui/picture_edit.h"
#include "data/app_paths.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

AddWizardWindow::AddWizardWindow(const ProcedureContext& context, WizardKind kind)
    : FormWindow(AddWizard::procedureName(kind), positionFilePath(context.db.collectionDir()),
                 wizardCaller(context), nullptr),
      m_context(context), m_wizard(std::make_unique<AddWizard>(context.db, kind)),
      m_positionFile(positionFilePath(context.db.collectionDir())) {
    setWindowTitle(AddWizard::title(kind));
}

AddWizardWindow::~AddWizardWindow() {
    // The list engine goes before the wizard whose rows it shows.
    m_engine.reset();
}

AddWizardWindow* AddWizardWindow::openWizard(const ProcedureContext& context, WizardKind kind) {
    auto* window = new AddWizardWindow(context, kind);
    if (!window->start(context.workspace)) {
        window->deleteLater();
        return nullptr;
    }
    return window;
}

bool AddWizardWindow::start(QMdiArea* area) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = m_wizard->open();
    QApplication::restoreOverrideCursor();
    if (!opened) {
        return false;
    }
    m_engine = std::make_unique<ListEngine>(m_context.db,
                                            WizardTracks::listDefinition(m_wizard->isCompilation()), *this);
    if (!m_engine->open()) {
        m_wizard->close();
        return false;
    }
    m_engine->setRangeValue(1, m_wizard->tracks().range());
    build();
    m_watch = DiscWatch::forSettings(m_context.settings);
    connect(m_watch.get(), &DiscWatch::changed, this, [this] { showDiscCondition(m_reading != nullptr); });
    showDiscCondition();
    display();
    present(area);
    m_tracks->fitLines();
    m_engine->refresh();
    (m_artist ? m_artist : m_album)->setFocus();
    return true;
}

void AddWizardWindow::build() {
    m_tabs = new QTabWidget;
    m_tabs->addTab(buildGeneral(), QStringLiteral("&General"));
    m_tabs->addTab(buildSongs(), QStringLiteral("&Songs"));

    m_addToAlbums = new QCheckBox(QStringLiteral("Add Information to Album Database"));
    m_addToAlbums->setChecked(m_wizard->addToAlbums());
    connect(m_addToAlbums, &QCheckBox::toggled, this, [this](bool on) { m_wizard->setAddToAlbums(on); });
    const OkCancelRow bottom = makeOkCancelRow(
        this, [this] { accept(); }, [this] { cancelRequested(); }, QStringLiteral("Cancel"), {m_addToAlbums});
    m_ok = bottom.ok;
    m_cancel = bottom.cancel;
    m_notice = new DiscHeldNotice(m_context.calledFrom(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_notice);
    layout->addLayout(bottom.layout);
}

QWidget* AddWizardWindow::buildGeneral() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    if (m_wizard->isCompilation()) {
        m_album = new PictureEdit(TableId::Tunarium, tun::kAlbum);
        form->addRow(QStringLiteral("&Compilation Name:"), m_album);
    } else {
        m_artist = new PictureEdit(TableId::Tunarium, tun::kArtist);
        m_album = new PictureEdit(TableId::Tunarium, tun::kAlbum);
        form->addRow(QStringLiteral("&Artist:"), m_artist);
        form->addRow(QStringLiteral("A&lbum:"), m_album);
    }
    m_releaseDate = new PictureEdit(TableId::Tunarium, tun::kReleaseDate);
    form->addRow(QStringLiteral("&Release Date:"), m_releaseDate);
    m_fileNumber = new PictureEdit(TableId::Tunarium, tun::kFileNumber);
    form->addRow(QStringLiteral("&File Number:"), m_fileNumber);
    m_category = new QComboBox;
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    m_category->lineEdit()->setMaxLength(30);
    setMinimumCharacters(m_category, 30);
    form->addRow(QStringLiteral("&Category:"), m_category);
    m_media = new QComboBox;
    setMinimumCharacters(m_media, 20);
    form->addRow(QStringLiteral("&Media:"), m_media);
    m_category->lineEdit()->installEventFilter(this);
    m_media->installEventFilter(this);
    return page;
}

void AddWizardWindow::display() {
    const Row& f = m_wizard->fields();
    if (m_artist) {
        m_artist->setValue(f.value(tun::kArtist));
    }
    m_album->setValue(f.value(tun::kAlbum));
    m_releaseDate->setValue(f.value(tun::kReleaseDate));
    m_fileNumber->setValue(f.value(tun::kFileNumber));
    {
        const QSignalBlocker block(m_media);
        m_media->clear();
        m_media->addItems(m_wizard->rules().mediaChoices());
        m_media->setCurrentText(f.text(tun::kMedia));
    }
    showCategoryChoices();
    m_category->setEditText(m_wizard->rules().categoryName(f.number(tun::kCategoryId)));
}

void AddWizardWindow::showCategoryChoices() {
    const QString typed = m_category->currentText();
    const QSignalBlocker block(m_category);
    m_category->clear();
    for (const CategoryChoice& c : m_wizard->rules().categoryChoices()) {
        m_category->addItem(c.name);
    }
    m_category->setEditText(typed);
}

void AddWizardWindow::readFields() {
    Row& f = m_wizard->fields();
    if (m_artist) {
        f.setText(tun::kArtist, m_artist->text());
    }
    f.setText(tun::kAlbum, m_album->text());
    f.setNumber(tun::kReleaseDate, m_releaseDate->value().toLongLong());
    f.setText(tun::kFileNumber, m_fileNumber->text());
    f.setText(tun::kMedia, m_media->currentText());
}

bool AddWizardWindow::acceptField(SongCheck check) {
    readFields();
    const bool accepted = m_wizard->rules().acceptField(check, m_wizard->fields(), m_category->currentText());
    if (check == SongCheck::Category) {
        showCategoryChoices();
        if (accepted) {
            m_category->setEditText(
                m_wizard->rules().categoryName(m_wizard->fields().number(tun::kCategoryId)));
        }
    }
    if (!accepted) {
        m_tabs->setCurrentIndex(0);
        QWidget* control = check == SongCheck::Media ? static_cast<QWidget*>(m_media) : m_category;
        QTimer::singleShot(0, control, [control] { control->setFocus(); });
    }
    return accepted;
}

bool AddWizardWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_closed && isEnabled()) {
        if (watched == m_category->lineEdit() &&
            m_category->currentText() !=
                m_wizard->rules().categoryName(m_wizard->fields().number(tun::kCategoryId))) {
            acceptField(SongCheck::Category);
        } else if (watched == m_media && m_media->currentText() != m_wizard->fields().text(tun::kMedia)) {
            acceptField(SongCheck::Media);
        }
    }
    return FormWindow::eventFilter(watched, event);
}

void AddWizardWindow::accept() {
    if (m_trackForm || m_reading) {
        return;
    }
    if (refuseUnreadable({m_releaseDate}, m_context.prompter, windowTitle())) {
        return;
    }
    if (!acceptField(SongCheck::Media) || !acceptField(SongCheck::Category)) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = m_wizard->writeAll();
    QApplication::restoreOverrideCursor();
    if (!written) {
        refreshList();
        return;
    }
    m_finishing = true;
    finish(Response::Completed);
}

void AddWizardWindow::cancelRequested() {
    if (m_trackForm || m_reading) {
        return;
    }
    readFields();
    if (m_wizard->fieldsChanged() && m_context.db.warnings().show(warning::kConfirmCancel) != kButtonYes) {
        return;
    }
    m_finishing = true;
    finish(Response::Cancelled);
}

void AddWizardWindow::closeEvent(QCloseEvent* event) {
    // Closed from outside (its close box): asked as Cancel is, unless the program is ending.
    if (!m_finishing && !m_closed && !QApplication::closingDown()) {
        readFields();
        if (m_wizard->fieldsChanged() &&
            m_context.db.warnings().show(warning::kConfirmCancel) != kButtonYes) {
            event->ignore();
            return;
        }
        m_finishing = true;
    }
    FormWindow::closeEvent(event);
}

void AddWizardWindow::closing() {
    m_finishing = true;
}

void AddWizardWindow::closed() {
    m_closed = true;
    // A read under way ends with the drive closed; a track form open on a row is cancelled.
    delete m_reading.data();
    if (m_trackForm) {
        m_trackForm->close();
    }
    if (m_engine) {
        m_engine->close();
    }
    m_wizard->close();
}

void AddWizardWindow::activated() {
    if (m_engine && !m_closed && isEnabled() && !m_engine->formPending()) {
        m_engine->focusGained();
    }
}

QPushButton* AddWizardWindow::button(const QString& text) const {
    if (text == m_ok->text()) {
        return m_ok;
    }
    if (text == m_cancel->text()) {
        return m_cancel;
    }
    return m_tracks->button(text);
}

} // namespace tunarium
