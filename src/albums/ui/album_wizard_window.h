// AlbumWizard ("Album Wizard"): the album wizard's three steps shown one at a time ("Type",
// "General", "Songs") with "&Back", "&Next", "&Finish" and "Cancel"; the album's facts on
// "General" (AlbumFactsPage) and its songs, one side at a time, on "Songs" (AlbumWizardSongsStep);
// a CD media reads the disc through "Reading CD". Cancel, and closing the window from outside (the
// frame closing), asks first and then removes the album and every song the wizard wrote. Step 2
// requires the artist and the album's name; a disc another album holds, or an artist and name
// taken, is named with that album and the wizard goes back to step 2; a disc read that is in the
// collection is also told under the steps, with a button to that album. The window's own
// mnemonics (Alt+B, Alt+N, Alt+F) win over the frame's menus.
#pragma once

#include "albums/album_wizard.h"
#include "albums/ui/album_facts_page.h"
#include "albums/ui/album_wizard_songs.h"
#include "albums/ui/disc_held_notice.h"
#include "albums/ui/reading_cd_window.h"
#include "catalogue/ui/form_window.h"
#include "ui/procedure_registry.h"

#include <QPointer>

#include <memory>

class QComboBox;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tunarium {

class AlbumWizardWindow : public FormWindow {
public:
    explicit AlbumWizardWindow(const ProcedureContext& context);
    ~AlbumWizardWindow() override;

    // Opens the wizard from `context`; null when it could not open (the message was shown).
    static AlbumWizardWindow* openWizard(const ProcedureContext& context);

    AlbumWizard& wizard() { return *m_wizard; }
    ListEngine& engine() { return m_songs->engine(); }
    QTabWidget* tabs() const { return m_tabs; }
    BrowseList* list() const { return m_songs->list(); }
    QPushButton* button(const QString& text) const;
    QRadioButton* kindButton(AlbumKind kind) const;
    QRadioButton* carrierButton(AlbumCarrier carrier) const;
    PictureEdit* artistField() const { return m_facts->artistField(); }
    PictureEdit* albumField() const { return m_facts->albumField(); }
    PictureEdit* fileNumberField() const { return m_facts->fileNumberField(); }
    PictureEdit* sideField() const { return m_facts->sideField(); }
    QComboBox* mediaBox() const { return m_facts->mediaBox(); }
    QComboBox* categoryBox() const { return m_facts->categoryBox(); }
    SongFormWindow* songForm() const { return m_songs->songForm(); }
    ReadingCdWindow* readingWindow() const { return m_reading; }
    // Under the steps: the album that holds the disc read last, if one does.
    DiscHeldNotice* discNotice() const { return m_notice; }

    void next();
    void back();
    void nextSide();
    void readDisc();
    void finishWizard();
    void move(MoveDirection direction) { m_songs->move(direction); }
    void editAllSongs() { m_songs->editAllSongs(); }

protected:
    void closing() override;
    void cancelRequested() override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool start(QMdiArea* area);
    void build();
    QWidget* buildType();
    void display();
    // A read or a song form waits for its end: the steps do not move meanwhile.
    bool waiting() const;
    // Takes step 2's fields into the album; false (with the field selected) when one is refused.
    bool readFields();
    void showStep();
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
    QString m_positionFile;

    QTabWidget* m_tabs = nullptr;
    QRadioButton* m_single = nullptr;
    QRadioButton* m_compilation = nullptr;
    QRadioButton* m_oneDisc = nullptr;
    QRadioButton* m_multiDisc = nullptr;
    QRadioButton* m_cassette = nullptr;
    AlbumFactsPage* m_facts = nullptr;
    AlbumWizardSongsStep* m_songs = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_finish = nullptr;
    QPushButton* m_cancel = nullptr;
    QPointer<ReadingCdWindow> m_reading;
    DiscHeldNotice* m_notice = nullptr;
    bool m_done = false; // finished or cancelled: the window closes without more
};

} // namespace tunarium
