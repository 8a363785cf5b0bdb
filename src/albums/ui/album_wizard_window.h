// AlbumWizard ("Album Wizard"): the album wizard's three steps shown one at a time ("Type",
// "General", "Songs") with "&Back", "&Next", "&Finish" and "Cancel". The songs step lists the
// songs of the current side with the song form (in the album's context) for Add, Copy, Edit and
// "Edit All Son&gs"; Delete closes the gap in the side's tracks and Add places the new song after
// the selected one, as the album form does; then the four moves, "Read CD Information" and
// "Next &Disc or Side"; a CD media reads the disc through "Reading CD". Cancel, and closing the
// window from outside (the frame closing), asks first and then removes the album and every song
// the wizard wrote. Step 2 requires the artist and the album's name; a disc another album holds, or
// an artist and name taken, is named with that album and the wizard goes back to step 2; a disc
// read that is in the collection is also told under the steps, with a button to that album. The
// window's own mnemonics (Alt+B, Alt+N, Alt+F) win over the frame's menus.
#pragma once

#include "albums/album_wizard.h"
#include "albums/ui/disc_held_notice.h"
#include "albums/ui/reading_cd_window.h"
#include "catalogue/list_engine.h"
#include "catalogue/move_routine.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/form_window.h"
#include "catalogue/ui/song_form_window.h"
#include "ui/procedure_registry.h"

#include <QPointer>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;

namespace tunarium {

class PictureEdit;

class AlbumWizardWindow : public FormWindow, public ListHost {
public:
    explicit AlbumWizardWindow(const ProcedureContext& context);
    ~AlbumWizardWindow() override;

    // Opens the wizard from `context`; null when it could not open (the message was shown).
    static AlbumWizardWindow* openWizard(const ProcedureContext& context);

    AlbumWizard& wizard() { return *m_wizard; }
    ListEngine& engine() { return *m_engine; }
    QTabWidget* tabs() const { return m_tabs; }
    BrowseList* list() const { return m_list; }
    QPushButton* button(const QString& text) const;
    QRadioButton* kindButton(AlbumKind kind) const;
    QRadioButton* carrierButton(AlbumCarrier carrier) const;
    PictureEdit* artistField() const { return m_artist; }
    PictureEdit* albumField() const { return m_album; }
    PictureEdit* fileNumberField() const { return m_fileNumber; }
    PictureEdit* sideField() const { return m_side; }
    QComboBox* mediaBox() const { return m_media; }
    QComboBox* categoryBox() const { return m_category; }
    SongFormWindow* songForm() const { return m_songForm; }
    ReadingCdWindow* readingWindow() const { return m_reading; }
    // Under the steps: the album that holds the disc read last, if one does.
    DiscHeldNotice* discNotice() const { return m_notice; }

    void next();
    void back();
    void nextSide();
    void readDisc();
    void finishWizard();
    void move(MoveDirection direction);
    void editAllSongs();

protected:
    void callForm(Request request, const Row& record) override;
    void pageChanged() override;
    void closeRequested() override {}
    void closing() override;
    void cancelRequested() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool start(QMdiArea* area);
    void build();
    QWidget* buildType();
    QWidget* buildGeneral();
    QWidget* buildSongs();
    void display();
    // Takes step 2's fields into the album; false (with the field selected) when one is refused.
    bool readFields();
    void showStep();
    void showSide();
    void updateLineCount();
    void refreshList();
    void openSongForm(Request request, const Row& record, std::function<void(Response, const Row&)> answered);
    void editAfter(const Row& song);
    void setReading(bool reading);
    // Cancel: the wizard's songs and album removed; false when that failed (the wizard stays).
    bool cancelWizard();
    // "Cancel the album and remove its N songs?": true when answered Yes.
    bool confirmCancel();
    // Artist and album filled in; otherwise says which is required and puts the focus there.
    bool requiredFilled();
    // Back to step 2 with the focus on `field`.
    void backToFacts(QWidget* field);

    ProcedureContext m_context;
    std::unique_ptr<AlbumWizard> m_wizard;
    std::unique_ptr<ListEngine> m_engine;
    QString m_positionFile;

    QTabWidget* m_tabs = nullptr;
    QRadioButton* m_single = nullptr;
    QRadioButton* m_compilation = nullptr;
    QRadioButton* m_oneDisc = nullptr;
    QRadioButton* m_multiDisc = nullptr;
    QRadioButton* m_cassette = nullptr;
    PictureEdit* m_artist = nullptr;
    PictureEdit* m_album = nullptr;
    PictureEdit* m_fileNumber = nullptr;
    PictureEdit* m_releaseDate = nullptr;
    PictureEdit* m_side = nullptr;
    QLabel* m_sideLabel = nullptr;
    QComboBox* m_media = nullptr;
    QComboBox* m_category = nullptr;
    BrowseList* m_list = nullptr;
    QScrollBar* m_thumb = nullptr;
    QLabel* m_sideShown = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_finish = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_nextSide = nullptr;
    QList<QPushButton*> m_buttons;
    QPointer<SongFormWindow> m_songForm;
    QPointer<ReadingCdWindow> m_reading;
    DiscHeldNotice* m_notice = nullptr;
    bool m_done = false; // finished or cancelled: the window closes without more
};

} // namespace tunarium
