// The album form.
#include "albums/ui/update_album_window.h"

#include "albums/disc_ids.h"
#include "albums/procedure_names.h"
#include "albums/ui/album_files_tab.h"
#include "albums/ui/album_songs_panel.h"
#include "albums/ui/reading_cd_window.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/song_form_window.h"
#include "data/app_paths.h"
#include "data/table_lease.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace tunarium {

namespace {

QPlainTextEdit* memoEdit() {
    auto* edit = new QPlainTextEdit;
    edit->setTabChangesFocus(true);
    return edit;
}

QComboBox* choiceBox() {
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    setMinimumCharacters(box, 20);
    return box;
}

} // namespace

UpdateAlbumWindow::UpdateAlbumWindow(const ProcedureContext& context, Request request, const Row& album,
                                     Answer done)
    : UpdateAlbumWindow(context, request, album, std::move(done), std::make_shared<Row>()) {}

UpdateAlbumWindow::UpdateAlbumWindow(const ProcedureContext& context, Request request, const Row& album,
                                     Answer done, std::shared_ptr<Row> answered)
    : FormWindow(QString::fromLatin1(procedure::kUpdateAlbum), positionFilePath(context.db.collectionDir()),
                 context.caller,
                 [answered, done = std::move(done)](Response response) {
                     if (done) {
                         done(response, *answered);
                     }
                 }),
      m_context(context), m_rules(context.db), m_session(context.db, m_rules, request), m_record(album),
      m_answered(std::move(answered)) {
    setWindowTitle(QStringLiteral("Update Album"));
}

void UpdateAlbumWindow::openAlbum(const ProcedureContext& context) {
    const AlbumFormCall call = albumFormCall(context.argument);
    const Request request = call.request == Request::None ? Request::Insert : call.request;
    const qint64 albumId = call.albumId;
    Row album(TableId::Album);
    if (albumId > 0 && request != Request::Insert) {
        TableLease albums(context.db, {TableId::Album});
        if (!albums) {
            return;
        }
        const StoreError e = context.db.store().get(TableId::Album, alb::kKeyAlbumId, {albumId}, album);
        albums.release();
        if (e) {
            context.db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Album"));
            return;
        }
    }
    auto answer = context.answer;
    auto* form =
        new UpdateAlbumWindow(context, request, album, [answer](Response response, const Row& saved) {
            if (answer) {
                answer(int(response), saved);
            }
        });
    form->start(context.workspace);
}

bool UpdateAlbumWindow::start(QMdiArea* area) {
    if (m_record.tableId() != TableId::Album || m_record.size() == 0) {
        m_record = Row(TableId::Album);
    }
    const bool opens = startSession(
        m_context.db,
        {TableId::Album, TableId::Tunarium, TableId::Categories, TableId::Media, TableId::PlaylistDetails},
        m_session, m_record);
    *m_answered = m_record;
    if (!opens) {
        finish(m_session.response());
        return false;
    }
    if (StoreError e = m_rules.loadChoices()) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Media"));
        m_session.cancel();
        finish(Response::Cancelled);
        return false;
    }
    build();
    display();
    setWindowTitle(m_session.request() == Request::Insert ? QStringLiteral("Adding an Album Record")
                                                          : QStringLiteral("Changing an Album Record"));
    resize(sizeHint());
    present(area);
    m_songsOpen = m_songs->open();
    if (!m_songsOpen) {
        m_session.cancel();
        finish(Response::Cancelled);
        return false;
    }
    m_artist->setFocus();
    return true;
}

QWidget* UpdateAlbumWindow::buildGeneral() {
    auto* page = new QWidget;
    m_artist = new PictureEdit(TableId::Album, alb::kArtist);
    m_album = new PictureEdit(TableId::Album, alb::kAlbum);
    m_media = choiceBox();
    m_media->addItems(m_rules.mediaChoices());
    m_category = choiceBox();
    m_category->addItem(QString());
    for (const AlbumCategory& c : m_rules.categoryChoices()) {
        m_category->addItem(c.name);
    }
    m_fileNumber = new PictureEdit(TableId::Album, alb::kFileNumber);
    m_releaseDate = new PictureEdit(m_context.settings.datePicture());
    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("&Artist:"), m_artist);
    form->addRow(QStringLiteral("A&lbum:"), m_album);
    form->addRow(QStringLiteral("&Media:"), m_media);
    form->addRow(QStringLiteral("&Category:"), m_category);
    form->addRow(QStringLiteral("&File Number:"), m_fileNumber);
    form->addRow(QStringLiteral("&Release Date:"), m_releaseDate);
    return page;
}

QWidget* UpdateAlbumWindow::buildDisc() {
    auto* page = new QWidget;
    auto* own = new QGroupBox(QStringLiteral("Tunarium Pro CD Information"));
    m_cdIdentifier = new QLineEdit;
    m_cdIdentifier->setMaxLength(24);
    auto* read = new QPushButton(QStringLiteral("Read"));
    read->setAutoDefault(false);
    read->setToolTip(QStringLiteral("Read the serial number of the disc in the drive"));
    connect(read, &QPushButton::clicked, this, [this] { readDisc(AlbumCdRead::Kind::IdentifyOnly); });
    auto* ownRow = new QHBoxLayout(own);
    ownRow->addWidget(new QLabel(QStringLiteral("CD Serial #:")));
    ownRow->addWidget(m_cdIdentifier, 1);
    ownRow->addWidget(read);

    auto* cddb = new QGroupBox(QStringLiteral("CDDB (Internet)"));
    m_xccd = new QLineEdit;
    m_xccd->setMaxLength(32);
    m_xccd->installEventFilter(this);
    m_musicBrainz = new QLabel;
    m_musicBrainz->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_musicBrainz->setToolTip(QStringLiteral("The MusicBrainz disc ID of the disc read last in this form"));
    auto* lookup = new QPushButton(QStringLiteral("Get CD Information"));
    lookup->setAutoDefault(false);
    lookup->setToolTip(QStringLiteral("Open the disc's MusicBrainz page in the web browser"));
    connect(lookup, &QPushButton::clicked, this, &UpdateAlbumWindow::getCdInformation);
    auto* submit = new QPushButton(QStringLiteral("Submit Current"));
    submit->setAutoDefault(false);
    auto* cddbForm = new QFormLayout(cddb);
    cddbForm->addRow(QStringLiteral("ID:"), m_xccd);
    cddbForm->addRow(QStringLiteral("MusicBrainz Disc ID:"), m_musicBrainz);
    auto* cddbButtons = new QHBoxLayout;
    cddbButtons->addWidget(lookup);
    cddbButtons->addWidget(submit);
    cddbButtons->addStretch();
    cddbForm->addRow(cddbButtons);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(own);
    layout->addWidget(cddb);
    layout->addStretch();
    return page;
}

QWidget* UpdateAlbumWindow::buildOther() {
    auto* page = new QWidget;
    m_recording = memoEdit();
    m_performance = memoEdit();
    m_rating = new PictureEdit(TableId::Album, alb::kRating);
    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("Recording:"), m_recording);
    form->addRow(QStringLiteral("Performance:"), m_performance);
    // Two digits: the field keeps its own width.
    m_rating->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* rating = new QHBoxLayout;
    rating->addWidget(m_rating);
    rating->addStretch();
    form->addRow(QStringLiteral("Rating:"), rating);
    return page;
}

void UpdateAlbumWindow::build() {
    m_tabs = new QTabWidget;
    m_tabs->addTab(buildGeneral(), QStringLiteral("General"));
    m_songs = new AlbumSongsPanel(
        m_context, this, [this] { return shownAlbum(); }, [this] { readDisc(AlbumCdRead::Kind::Tracks); });
    m_tabs->addTab(m_songs, QStringLiteral("Songs"));
    m_notes = memoEdit();
    m_tabs->addTab(m_notes, QStringLiteral("Notes"));
    m_files = new AlbumFilesTab(m_context.prompter);
    m_tabs->addTab(m_files, QStringLiteral("Associated Files"));
    auto* playlist = new QWidget;
    m_playlist = new PictureEdit(TableId::Album, alb::kPlaylist);
    auto* playlistForm = new QFormLayout(playlist);
    playlistForm->addRow(QStringLiteral("Playlist:"), m_playlist);
    m_tabs->addTab(playlist, QStringLiteral("Playlist"));
    m_tabs->addTab(buildDisc(), QStringLiteral("Compact Disc"));
    m_tabs->addTab(buildOther(), QStringLiteral("Other"));

    const OkCancelRow buttons = makeOkCancelRow(
        this, [this] { accept(); }, [this] { cancelRequested(); }, dismissText(m_session.request()));
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_cancel->setToolTip(dismissTip(m_session.request()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons.layout);
}

void UpdateAlbumWindow::display() {
    const AlbumRecord a = fromRow<AlbumRecord>(m_record);
    m_artist->setValue(a.artist);
    m_album->setValue(a.album);
    m_media->setCurrentText(a.media);
    m_category->setCurrentText(m_rules.categoryName(a.categoryId));
    m_fileNumber->setValue(a.fileNumber);
    m_releaseDate->setValue(a.releaseDate);
    m_notes->setPlainText(a.notes);
    m_files->setPaths(a.associatedWavFile, a.associatedImage);
    m_playlist->setValue(a.playlist);
    m_cdIdentifier->setText(a.cdIdentifier);
    m_xccd->setText(a.xccd);
    m_recording->setPlainText(a.recording);
    m_performance->setPlainText(a.performance);
    m_rating->setValue(a.rating);
}

void UpdateAlbumWindow::readFields() {
    m_record.setText(alb::kArtist, m_artist->text());
    m_record.setText(alb::kAlbum, m_album->text());
    m_record.setText(alb::kMedia, m_media->currentText());
    m_record.setText(alb::kFileNumber, m_fileNumber->text());
    m_record.setNumber(alb::kReleaseDate, m_releaseDate->value().toLongLong());
    m_record.setText(alb::kNotes, m_notes->toPlainText());
    m_record.setText(alb::kAssociatedWavFile, m_files->soundPath());
    m_record.setText(alb::kAssociatedImage, m_files->imagePath());
    m_record.setText(alb::kPlaylist, m_playlist->text());
    m_record.setText(alb::kCdIdentifier, m_cdIdentifier->text());
    m_record.setText(alb::kXccd, m_xccd->text());
    m_record.setText(alb::kRecording, m_recording->toPlainText());
    m_record.setText(alb::kPerformance, m_performance->toPlainText());
    m_record.setNumber(alb::kRating, m_rating->value().toLongLong());
}

AlbumRecord UpdateAlbumWindow::shownAlbum() const {
    auto* self = const_cast<UpdateAlbumWindow*>(this);
    Row shown = m_record;
    std::swap(self->m_record, shown);
    self->readFields();
    // The category as the field names it, when it names one.
    for (const AlbumCategory& c : m_rules.categoryChoices()) {
        if (c.name.compare(m_category->currentText().trimmed(), Qt::CaseInsensitive) == 0) {
            self->m_record.setNumber(alb::kCategoryId, c.id);
        }
    }
    std::swap(self->m_record, shown);
    return fromRow<AlbumRecord>(shown);
}

QWidget* UpdateAlbumWindow::fieldOf(AlbumCheck check) const {
    switch (check) {
    case AlbumCheck::Media:
        return m_media;
    case AlbumCheck::Category:
        return m_category;
    case AlbumCheck::Rating:
        return m_rating;
    case AlbumCheck::Unique:
        return m_album;
    }
    return m_artist;
}

void UpdateAlbumWindow::accept() {
    if (m_reading || m_songs->busyElsewhere()) {
        return;
    }
    if (refuseUnreadable({m_releaseDate, m_rating}, m_context.prompter, windowTitle())) {
        return;
    }
    readFields();
    if (const std::optional<AlbumCheck> refused = m_rules.checkAll(m_record, m_category->currentText())) {
        QWidget* field = fieldOf(*refused);
        m_tabs->setCurrentWidget(*refused == AlbumCheck::Rating ? m_tabs->widget(6) : m_tabs->widget(0));
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->selectAll();
        }
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    *m_answered = m_record;
    switch (result) {
    case FormSession::SaveResult::Closed:
        finish(m_session.response());
        break;
    case FormSession::SaveResult::Redisplay:
        display();
        break;
    case FormSession::SaveResult::StayOpen:
        m_tabs->setCurrentIndex(0);
        m_artist->setFocus();
        break;
    }
}

void UpdateAlbumWindow::cancelRequested() {
    if (m_reading || (m_songs && m_songs->busyElsewhere())) {
        return;
    }
    // Close on an album that exists: the songs' changes are saved already; changed fields are
    // saved only when the user says so.
    if (m_session.request() != Request::Insert && m_songs) {
        readFields();
        if (m_session.changed(m_record)) {
            const int answer = m_context.prompter.message(
                saveBeforeCloseQuestion(QStringLiteral("Update Album"), QStringLiteral("album's fields")));
            if (answer == kButtonYes) {
                accept();
                return;
            }
            if (answer != kButtonNo) {
                return;
            }
        }
    }
    FormWindow::cancelRequested();
}

void UpdateAlbumWindow::setReading(bool reading) {
    m_tabs->setEnabled(!reading);
    m_ok->setEnabled(!reading);
    m_cancel->setEnabled(!reading);
}

void UpdateAlbumWindow::readDisc(AlbumCdRead::Kind kind, std::function<void()> then) {
    if (m_reading || m_songs->busyElsewhere()) {
        return;
    }
    const AlbumRecord album = shownAlbum();
    auto read = std::make_unique<AlbumCdRead>(m_context.db, m_context.settings, album, m_songs->side(), kind);
    const AlbumCdRead* job = read.get();
    QPointer<UpdateAlbumWindow> self(this);
    setReading(true);
    // The form waits for the read (its progress window stays usable); every other window goes on.
    auto* window = new ReadingCdWindow(std::move(read), this,
                                       [self, job, kind, before = album.cdIdentifier, then](bool succeeded) {
                                           if (!self) {
                                               return;
                                           }
                                           self->setReading(false);
                                           if (succeeded) {
                                               self->readFinished(*job, kind, before);
                                               if (then) {
                                                   then();
                                               }
                                           }
                                       });
    m_reading = window;
    window->start();
}

void UpdateAlbumWindow::readFinished(const AlbumCdRead& read, AlbumCdRead::Kind kind, const QString& before) {
    const AlbumRecord& found = read.album();
    m_record.setText(alb::kCdIdentifier, found.cdIdentifier);
    m_record.setText(alb::kXccd, found.xccd);
    m_record.setNumber(alb::kTotalTime, found.totalTime);
    m_cdIdentifier->setText(found.cdIdentifier);
    m_xccd->setText(found.xccd);
    m_musicBrainz->setText(read.reader().musicBrainzDiscId());
    m_lookupUrl = musicBrainzLookupUrl(read.reader().toc());
    if (kind == AlbumCdRead::Kind::IdentifyOnly) {
        m_context.prompter.message(identificationOutcome(before, found.cdIdentifier));
    } else {
        m_songs->refresh();
    }
}

void UpdateAlbumWindow::getCdInformation() {
    const auto open = [this] {
        if (!m_lookupUrl.isEmpty() && !QDesktopServices::openUrl(QUrl(m_lookupUrl))) {
            m_context.prompter.message({QStringLiteral("Sorry!"),
                                        QStringLiteral("No web browser could be started for ") + m_lookupUrl,
                                        PromptIcon::Exclamation, kButtonOk, kButtonOk});
        }
    };
    if (!m_lookupUrl.isEmpty()) {
        open();
        return;
    }
    // A blank CDDB number reads the whole disc; otherwise the disc is only identified.
    readDisc(m_xccd->text().trimmed().isEmpty() ? AlbumCdRead::Kind::Tracks : AlbumCdRead::Kind::IdentifyOnly,
             open);
}

void UpdateAlbumWindow::activated() {
    // Songs changed in other windows show as they are now.
    if (m_songsOpen && isEnabled()) {
        m_songs->refresh();
    }
}

void UpdateAlbumWindow::closed() {
    if (m_reading) {
        m_reading->close();
    }
    if (m_songs) {
        m_songs->close();
    }
    m_songsOpen = false;
    FormWindow::closed();
}

bool UpdateAlbumWindow::eventFilter(QObject* watched, QEvent* event) {
    // Entering a blank CDDB number by the keyboard or the mouse reads the disc for it.
    if (watched == m_xccd && event->type() == QEvent::FocusIn && m_xccd->text().trimmed().isEmpty() &&
        !m_reading) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::MouseFocusReason) {
            QMetaObject::invokeMethod(
                this, [this] { readDisc(AlbumCdRead::Kind::Tracks); }, Qt::QueuedConnection);
        }
    }
    return FormWindow::eventFilter(watched, event);
}

} // namespace tunarium
