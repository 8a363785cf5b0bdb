// The songs tab of the album form: the album's songs, all sides in side and track order, through
// the list engine; "&Add", "Cop&y", "&Change", "&Delete" and "Edit All Son&gs" through the song
// form with the album context (new songs take the album's values and the side in "Side/Disc:",
// and go just after the selected song); the four move buttons within a side; "Read CD
// &Information" into the side; "Re-assign Songs" by the album's file number and media, or one
// song from the "Select File Number" list when the album has no file number.
#pragma once

#include "albums/album_songs.h"
#include "catalogue/list_engine.h"
#include "catalogue/ui/list_panel_parts.h"
#include "ui/procedure_registry.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QPushButton;
class QScrollBar;
class QSpinBox;

namespace tunarium {

class BrowseList;
class FormWindow;
class SongFormWindow;

class AlbumSongsPanel : public QWidget, public ListHost {
public:
    // `album` gives the album as the form shows it now (its number, and the values new songs
    // take); `readDisc` runs "Read CD &Information" (the form owns the disc reads).
    AlbumSongsPanel(const ProcedureContext& context, FormWindow* form, std::function<AlbumRecord()> album,
                    std::function<void()> readDisc);

    // Opens the list on the album; false when the songs cannot be read.
    bool open();
    void close();
    // Read again (the form got the focus back, a read wrote songs).
    void refresh();

    ListEngine& engine() { return *m_engine; }
    BrowseList* list() const { return m_list; }
    QPushButton* moveButton(MoveDirection direction) const { return m_moves[int(direction)]; }
    QPushButton* reassignButton() const { return m_reassign; }
    QSpinBox* sideBox() const { return m_side; }
    // "Side/Disc:": the side new songs and disc reads go to.
    qint64 side() const;
    // The song form opened by the last button (null when none is open).
    SongFormWindow* openedForm() const { return m_songForm; }

    void moveSelected(MoveDirection direction);
    void copySong();
    void editAllSongs();
    void reassign();
    // Whether another window (a song form, the songs list) is open in front of the form.
    bool busyElsewhere() const { return m_songForm != nullptr; }

protected:
    void callForm(Request request, const Row& record) override;
    void setBusy(bool busy) override;
    void pageChanged() override;
    void closeRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QPushButton* button(const QString& text, std::function<void()> pressed);
    void showPopup(QPoint at);
    SongFormWindow* openSongForm(Request request, const SongRecord& song,
                                 std::function<void(Response, const Row&)> done);
    void afterAdd(Response response, const Row& song, qint64 selectedSide, qint64 selectedTrack);
    void editFrom(const SongRecord& song);
    void selectFileNumber();
    void updateButtons();

    ProcedureContext m_context;
    FormWindow* m_formWindow;
    std::function<AlbumRecord()> m_album;
    std::function<void()> m_readDisc;
    // Outlives the engine, whose close may still ask for the cursor.
    BusyCursor m_busy;
    std::unique_ptr<ListEngine> m_engine;
    BrowseList* m_list = nullptr;
    QScrollBar* m_thumb = nullptr;
    std::array<QPushButton*, 4> m_moves{};
    QPushButton* m_add = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_editAll = nullptr;
    QPushButton* m_readCd = nullptr;
    QPushButton* m_reassign = nullptr;
    QSpinBox* m_side = nullptr;
    QPointer<SongFormWindow> m_songForm;
    bool m_selecting = false;
};

} // namespace tunarium
