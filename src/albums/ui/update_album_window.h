// UpdateAlbum ("Update Album"): one album with its songs, in seven tabs: "General" (artist, album,
// media, category, file number, release date), "Songs" (the album's songs with the song form, the
// moves, the disc read and "Re-assign Songs"), "Notes", "Associated Files" (the sound file played
// or opened, the image shown), "Playlist", "Compact Disc" (the CD serial number with "Read", the
// CDDB number, the MusicBrainz disc ID of the last read and its lookup page) and "Other"
// (recording, performance, rating). A new album is numbered and added as the form opens; a copy
// is named " - Copy" with a blank serial number; OK checks the media, category, rating and the
// unique keys, then saves through the update routine. What the songs tab does is written at once:
// on an album that exists the second button says "Close" (asking whether to save changed fields),
// on a new one "Cancel" (the album goes; songs given to it stay without an album).
#pragma once

#include "albums/album_cd_read.h"
#include "albums/album_rules.h"
#include "catalogue/ui/form_window.h"
#include "ui/procedure_registry.h"

#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tunarium {

class AlbumFilesTab;
class AlbumSongsPanel;
class PictureEdit;
class ReadingCdWindow;

class UpdateAlbumWindow : public FormWindow {
public:
    using Answer = std::function<void(Response response, const Row& album)>;

    // The form for `request` (Insert, Copy, Change, Delete) on `album`, started from
    // `context.caller`.
    UpdateAlbumWindow(const ProcedureContext& context, Request request, const Row& album, Answer done);

    // The procedure: the argument is albumFormArgument() of the request and the album; the
    // context's answer is told the response and the album.
    static void openAlbum(const ProcedureContext& context);

    // Runs the start of the form pattern; false when the form answered without a window.
    bool start(QMdiArea* area);
    const Row& record() const { return m_record; }
    // The album as the fields show it now.
    AlbumRecord shownAlbum() const;

    QTabWidget* tabs() const { return m_tabs; }
    AlbumSongsPanel* songs() const { return m_songs; }
    AlbumFilesTab* files() const { return m_files; }
    PictureEdit* ratingField() const { return m_rating; }
    QLineEdit* cdIdentifierField() const { return m_cdIdentifier; }
    QLineEdit* xccdField() const { return m_xccd; }
    QLabel* musicBrainzField() const { return m_musicBrainz; }
    QComboBox* mediaField() const { return m_media; }
    QComboBox* categoryField() const { return m_category; }
    PictureEdit* albumField() const { return m_album; }
    ReadingCdWindow* reading() const { return m_reading; }

    void accept();
    // "Read CD &Information" (Tracks) and "Read" (IdentifyOnly); `then` runs after a read that
    // completed.
    void readDisc(AlbumCdRead::Kind kind, std::function<void()> then = {});
    // "Get CD Information": the disc's MusicBrainz page in the user's browser (the disc is read
    // first when this form has not read it yet).
    void getCdInformation();
    // The page the lookup opens; empty until a disc was read.
    QString lookupUrl() const { return m_lookupUrl; }

protected:
    // "Cancel" on a new album, "Close" on one that exists (asking to save changed fields first).
    void cancelRequested() override;
    void closed() override;
    void activated() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* buildGeneral();
    QWidget* buildDisc();
    QWidget* buildOther();
    void display();
    void readFields();
    void setReading(bool reading);
    void readFinished(const AlbumCdRead& read, AlbumCdRead::Kind kind, const QString& before);
    QWidget* fieldOf(AlbumCheck check) const;

    ProcedureContext m_context;
    AlbumRules m_rules;
    FormSession m_session;
    Row m_record;
    std::shared_ptr<Row> m_answered;
    QString m_lookupUrl;

    QTabWidget* m_tabs = nullptr;
    PictureEdit* m_artist = nullptr;
    PictureEdit* m_album = nullptr;
    QComboBox* m_media = nullptr;
    QComboBox* m_category = nullptr;
    PictureEdit* m_fileNumber = nullptr;
    PictureEdit* m_releaseDate = nullptr;
    AlbumSongsPanel* m_songs = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    AlbumFilesTab* m_files = nullptr;
    PictureEdit* m_playlist = nullptr;
    QLineEdit* m_cdIdentifier = nullptr;
    QLineEdit* m_xccd = nullptr;
    QLabel* m_musicBrainz = nullptr;
    QPlainTextEdit* m_recording = nullptr;
    QPlainTextEdit* m_performance = nullptr;
    PictureEdit* m_rating = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPointer<ReadingCdWindow> m_reading;
    bool m_songsOpen = false;

    UpdateAlbumWindow(const ProcedureContext& context, Request request, const Row& album, Answer done,
                      std::shared_ptr<Row> answered);
};

} // namespace tunarium
