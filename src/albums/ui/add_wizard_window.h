// The add wizards' window ("Add Album by Single Artist", AddSingleArtist; "Add Compilation",
// AddCompilation): the album-wide facts on "&General", the track list on "&Songs" (a list over
// the wizard's rows in the AddWizard table, ranged to its instance) with the track form, the four
// moves, "&Read Compact Disc Information" (a disc already in the collection told under the pages,
// with the album that holds it a button away) and "Edit All Son&gs"; OK writes the album and the songs
// through the core wizard. The window opens in front of its caller, which stays disabled until it
// closes; its position is kept under its procedure name.
#pragma once

#include "albums/add_wizard.h"
#include "albums/disc_watch.h"
#include "albums/ui/disc_held_notice.h"
#include "albums/ui/reading_cd_window.h"
#include "albums/ui/track_form_window.h"
#include "catalogue/list_engine.h"
#include "catalogue/ui/browse_list.h"
#include "catalogue/ui/form_window.h"
#include "ui/procedure_registry.h"

#include <QPointer>

#include <memory>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;

namespace tunarium {

class PictureEdit;
class WizardListPanel;

class AddWizardWindow : public FormWindow, public ListHost {
public:
    AddWizardWindow(const ProcedureContext& context, WizardKind kind);
    ~AddWizardWindow() override;

    // Opens a wizard of that kind from `context` (the frame, or the song form's caller). Null
    // when it could not open (the message was shown).
    static AddWizardWindow* openWizard(const ProcedureContext& context, WizardKind kind);

    AddWizard& wizard() { return *m_wizard; }
    ListEngine& engine() { return *m_engine; }
    BrowseList* list() const;
    QTabWidget* tabs() const { return m_tabs; }
    PictureEdit* artistField() const { return m_artist; }
    PictureEdit* albumField() const { return m_album; }
    PictureEdit* fileNumberField() const { return m_fileNumber; }
    QComboBox* categoryBox() const { return m_category; }
    QComboBox* mediaBox() const { return m_media; }
    QCheckBox* addToAlbumsBox() const { return m_addToAlbums; }
    QPushButton* button(const QString& text) const;
    // The track form open now (null when none), and the progress window of a read under way.
    TrackFormWindow* trackForm() const { return m_trackForm; }
    ReadingCdWindow* readingWindow() const { return m_reading; }
    // The watch of the CD drive that enables "&Read Compact Disc Information".
    DiscWatch* discWatch() const { return m_watch.get(); }
    // Under the pages: the album that holds the disc read last, if one does.
    DiscHeldNotice* discNotice() const { return m_notice; }

    // The buttons' work.
    void move(MoveDirection direction);
    void readDisc();
    void editAllSongs();
    // OK: the fields are accepted, then the album and songs are written; the window closes when
    // they were.
    void accept();

protected:
    void callForm(Request request, const Row& record) override;
    void pageChanged() override;
    void closeRequested() override {}
    void closing() override;
    void closed() override;
    void cancelRequested() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void activated() override;

private:
    bool start(QMdiArea* area);
    void build();
    QWidget* buildGeneral();
    QWidget* buildSongs();
    void display();
    void readFields();
    bool acceptField(SongCheck check);
    void showCategoryChoices();
    void openTrackForm(Request request, const Row& record,
                       std::function<void(Response, const Row&)> answered);
    void editFrom(qint64 track);
    void refreshList();
    // While a read runs, the wizard's own controls wait for it.
    void setReading(bool reading);
    // The read button follows the drive: enabled while a disc can be read and no read runs.
    void showDiscCondition(bool reading = false);

    ProcedureContext m_context;
    std::unique_ptr<AddWizard> m_wizard;
    std::unique_ptr<ListEngine> m_engine;
    QString m_positionFile;

    QTabWidget* m_tabs = nullptr;
    PictureEdit* m_artist = nullptr;
    PictureEdit* m_album = nullptr;
    PictureEdit* m_releaseDate = nullptr;
    PictureEdit* m_fileNumber = nullptr;
    QComboBox* m_category = nullptr;
    QComboBox* m_media = nullptr;
    WizardListPanel* m_tracks = nullptr;
    QCheckBox* m_addToAlbums = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPointer<TrackFormWindow> m_trackForm;
    QPointer<ReadingCdWindow> m_reading;
    std::unique_ptr<DiscWatch> m_watch;
    QPushButton* m_readButton = nullptr;
    DiscHeldNotice* m_notice = nullptr;
    bool m_finishing = false; // OK or a confirmed Cancel: the window closes without asking
    bool m_closed = false;
};

} // namespace tunarium
