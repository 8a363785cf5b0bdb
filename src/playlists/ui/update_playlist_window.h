// UpdatePlaylist ("Update Playlist"): one playlist with its entries. The "Play List" tab holds the
// description and the entries list (songs dragged from the songs list and dropped on it become
// entries); the "Notes" tab the playlist's notes and its last edit date. A new playlist is numbered
// and added as the form opens; OK stamps today as the last edit date and saves. The ditto key
// (Ctrl+') and the toolbar's history button bring back the description saved last.
#pragma once

#include "catalogue/ui/browse_toolbar.h"
#include "catalogue/ui/form_window.h"
#include "playlists/playlist_forms.h"
#include "ui/procedure_registry.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tunarium {

class PictureEdit;
class PlaylistEntriesPanel;

class UpdatePlaylistWindow : public FormWindow, public ToolbarTarget {
public:
    using Answer = std::function<void(Response response, const Row& playlist)>;

    // The form for `request` on `playlist`, started from `context.caller`.
    UpdatePlaylistWindow(const ProcedureContext& context, Request request, const Row& playlist, Answer done);

    // Runs the start of the form pattern; false when the form answered without a window (Delete,
    // or an add that failed).
    bool start(QMdiArea* area);
    const Row& record() const { return m_record; }
    PictureEdit* descriptionEdit() const { return m_description; }
    QPlainTextEdit* notesEdit() const { return m_notes; }
    PictureEdit* lastEditDateField() const { return m_lastEdit; }
    PlaylistEntriesPanel* entries() const { return m_entries; }
    QTabWidget* tabs() const { return m_tabs; }

    void accept();
    // The description saved last, into the description field.
    void ditto();

    bool toolbarEnabled(ToolbarButtonId button) const override;
    void toolbarPressed(ToolbarButtonId button) override;

protected:
    // "Cancel" on a new playlist (it goes with its entries), "Close" on one that exists (asking to
    // save a changed description or notes first).
    void cancelRequested() override;
    void closed() override;
    void activated() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UpdatePlaylistWindow(const ProcedureContext& context, Request request, const Row& playlist, Answer done,
                         std::shared_ptr<Row> answered);
    void build();
    void display();

    ProcedureContext m_context;
    PlaylistRules m_rules;
    FormSession m_session;
    Row m_record;
    std::shared_ptr<Row> m_answered;

    QTabWidget* m_tabs = nullptr;
    PictureEdit* m_description = nullptr;
    PlaylistEntriesPanel* m_entries = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    PictureEdit* m_lastEdit = nullptr;
    bool m_entriesOpen = false;
};

} // namespace tunarium
