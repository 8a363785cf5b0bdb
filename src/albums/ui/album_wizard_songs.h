// The album wizard's songs step ("Step 3:  Enter the song details."): the songs of the side being
// filled in a list of their own, with the song form (in the album's context) for Add, Copy, Edit
// and "Edit All Son&gs"; Delete closes the gap in the side's tracks and Add places the new song
// after the selected one, as the album form does; then the four moves, "Read CD Information" and
// "Next &Disc or Side", which the wizard's window answers.
#pragma once

#include "albums/album_wizard.h"
#include "catalogue/list_engine.h"
#include "catalogue/move_routine.h"
#include "catalogue/ui/song_form_window.h"
#include "ui/procedure_registry.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace tunarium {

class BrowseList;
class WizardListPanel;

class AlbumWizardSongsStep : public QWidget, public ListHost {
public:
    // The songs of `wizard`'s album, which must outlive the step; the two buttons the window
    // answers go to `readDisc` and `nextSide`. Song forms stand in front of `caller` (the wizard's
    // window) and keep their place in `positionFile`.
    AlbumWizardSongsStep(const ProcedureContext& context, AlbumWizard& wizard, QWidget* caller,
                         const QString& positionFile, std::function<void()> readDisc,
                         std::function<void()> nextSide);
    ~AlbumWizardSongsStep() override;

    // Opens the list's tables; false when they could not be opened (the message was shown).
    bool open();
    // The list's tables closed: the wizard is done, nothing more is shown.
    void close();

    ListEngine& engine() { return *m_engine; }
    BrowseList* list() const;
    QPushButton* button(const QString& text) const;
    SongFormWindow* songForm() const { return m_songForm; }
    // A song form is open, or the list waits for one.
    bool formOpen() const { return m_songForm || m_engine->formPending(); }

    // The side being filled shown again, and the list read again.
    void showSide();
    void refreshList();
    // "Next &Disc or Side" follows the album's carrier.
    void setSidesEnabled(bool enabled);
    void fitLines();
    // A song form open over the step closes (a song it added goes with it).
    void closeSongForm();

    void move(MoveDirection direction);
    void editAllSongs();

protected:
    void callForm(Request request, const Row& record) override;
    void pageChanged() override;

private:
    void copySong();
    void openSongForm(Request request, const Row& record, std::function<void(Response, const Row&)> answered);
    // The song form on the album's song after `song` (the first one when there is none), in key
    // order over every side; each form left with OK goes on to the next.
    void editAfter(const SongRecord* song);

    ProcedureContext m_context;
    AlbumWizard& m_wizard;
    QWidget* m_caller;
    QString m_positionFile;
    std::unique_ptr<ListEngine> m_engine;
    WizardListPanel* m_panel = nullptr;
    QLabel* m_sideShown = nullptr;
    QPushButton* m_nextSide = nullptr;
    QPointer<SongFormWindow> m_songForm;
    bool m_closed = false;
};

} // namespace tunarium
