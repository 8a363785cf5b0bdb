// The entries list of the playlist form: the playlist's entries in order through the list engine,
// with the artist, title and time of each entry's song; "&Add" (the new entry goes just after the
// selected one), "&Change" and "&Delete" through the entry form; the four move buttons; "Char&t";
// "Total Time:"; and songs dropped from the songs list, added at the end in the order they were
// chosen.
#pragma once

#include "catalogue/list_engine.h"
#include "catalogue/ui/list_panel_parts.h"
#include "playlists/playlist_entries.h"
#include "playlists/ui/update_playlist_details_window.h"
#include "ui/procedure_registry.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QMimeData;
class QPushButton;
class QScrollBar;

namespace tunarium {

class BrowseList;
class FormWindow;

class PlaylistEntriesPanel : public QWidget, public ListHost {
public:
    // `form` is the playlist form the panel sits in: the entry form and the chart open in front of
    // it.
    PlaylistEntriesPanel(const ProcedureContext& context, qint64 playlistId, FormWindow* form);

    // Opens the entries list on the playlist; false when the tables cannot be opened.
    bool open();
    void close();

    ListEngine& engine() { return *m_engine; }
    BrowseList* list() const { return m_list; }
    QPushButton* moveButton(EntryMove move) const { return m_moves[int(move)]; }
    QPushButton* chartButton() const { return m_chart; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* changeButton() const { return m_change; }
    QPushButton* deleteButton() const { return m_delete; }
    QString totalTimeText() const;
    // The entry form opened for the pending Add or Change (nullptr when none is open).
    UpdatePlaylistDetailsWindow* openedForm() const { return m_form; }

    // Whether a drag may drop here, what it carries, and the drop itself: the songs it carries are
    // added at the end (told and nothing added when it carries no songs, or a song that is gone).
    static bool carriesSongs(const QMimeData* data);
    static QByteArray payloadOf(const QMimeData* data);
    bool dropSongs(const QByteArray& payload);
    void moveSelected(EntryMove move);
    // Asks, then copies the chart positions into the notes behind a progress window.
    void chart();
    // The playlist changed elsewhere (the window got the focus back): the list and the total are
    // read again.
    void refresh();

protected:
    void callForm(Request request, const Row& record) override;
    void setBusy(bool busy) override;
    void pageChanged() override;
    void closeRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void showPopup(QPoint at);
    QPushButton* button(const QString& text, const QString& tip, std::function<void()> pressed);
    void updateTotal();
    void afterAdd(Response response, const Row& entry, qint64 selectedSequence);

    ProcedureContext m_context;
    qint64 m_playlistId;
    FormWindow* m_formWindow;
    PlaylistEntries m_entries;
    // Outlives the engine, whose close may still ask for the cursor.
    BusyCursor m_busy;
    std::unique_ptr<ListEngine> m_engine;
    BrowseList* m_list = nullptr;
    QScrollBar* m_thumb = nullptr;
    std::array<QPushButton*, 4> m_moves{};
    QPushButton* m_chart = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_delete = nullptr;
    QLabel* m_total = nullptr;
    QPointer<UpdatePlaylistDetailsWindow> m_form;
};

} // namespace tunarium
