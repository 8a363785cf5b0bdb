// UpdatePlaylistDetails ("Update the PlaylistDetails File"): one entry of a playlist, its notes and
// its song. "&Select Song" starts the songs selection list by name (disabled until it is
// registered) and takes the song chosen; the song's artist and title are shown, blank when the
// entry names no song or one that is gone.
#pragma once

#include "catalogue/ui/form_window.h"
#include "playlists/playlist_forms.h"
#include "ui/procedure_registry.h"

class QLineEdit;
class QPushButton;

namespace tunarium {

class PictureEdit;

class UpdatePlaylistDetailsWindow : public FormWindow {
public:
    using Answer = std::function<void(Response response, const Row& entry)>;

    // The form for `request` on `entry` of playlist `playlistId`; started from `context.caller`.
    UpdatePlaylistDetailsWindow(const ProcedureContext& context, qint64 playlistId, Request request,
                                const Row& entry, Answer done);

    // Runs the start of the form pattern; false when the form answered without a window (Delete,
    // or an add that failed).
    bool start(QMdiArea* area);
    const Row& record() const { return m_record; }
    PictureEdit* notesEdit() const { return m_notes; }
    QPushButton* selectSongButton() const { return m_selectSong; }
    QLineEdit* artistField() const { return m_artist; }
    QLineEdit* titleField() const { return m_title; }

    // The song the entry names from now on.
    void setSong(qint64 songId);
    void accept();

private:
    UpdatePlaylistDetailsWindow(const ProcedureContext& context, qint64 playlistId, Request request,
                                const Row& entry, Answer done, std::shared_ptr<Row> answered);
    void build();
    void showSong();
    void selectSong();

    ProcedureContext m_context;
    PlaylistEntryRules m_rules;
    FormSession m_session;
    qint64 m_playlistId;
    Row m_record;
    std::shared_ptr<Row> m_answered;

    PictureEdit* m_notes = nullptr;
    QPushButton* m_selectSong = nullptr;
    QLineEdit* m_artist = nullptr;
    QLineEdit* m_title = nullptr;
};

} // namespace tunarium
