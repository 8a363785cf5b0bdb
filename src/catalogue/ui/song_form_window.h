// UpdateSong: the song form window. It adds, copies, changes and deletes one song through the
// form pattern and the song rules; the caller learns the response through its callback.
#pragma once

#include "catalogue/song_rules.h"
#include "catalogue/ui/form_window.h"
#include "catalogue/ui/song_form_tabs.h"
#include "ui/procedure_registry.h"

#include <QHash>
#include <QPointer>

#include <memory>
#include <optional>

class QPushButton;

namespace tunarium {

class SongFilePanel;

class SongFormWindow : public FormWindow {
public:
    // Opens the form for `request` (Insert, Change, Delete or Copy) on `current`. Delete and a
    // failed add answer at once without showing a window; check isOpen() after start().
    SongFormWindow(Database& db, const Settings& settings, const QString& positionFile, Request request,
                   const SongRecord& current, AlbumContext context, QWidget* caller, Done done);

    // The program's procedures: with them, adding a song can hand over to the add wizards (by
    // their procedure names) as the AddMode preference says; without them it always opens the form.
    void setProcedures(const ProcedureContext& context);

    // Runs the start of the pattern; false when the form already answered (no window).
    bool start(QMdiArea* area);
    const Row& record() const { return m_record; }

    // "Default with Album Information": the album selection list (SelectAlbum, by name), and the
    // chosen album's values taken into the song.
    void defaultWithAlbum();
    void takeAlbum(const AlbumRecord& album);
    QPushButton* albumDefaultsButton() const { return m_albumDefaults; }
    SongFilePanel* filePanel() const { return m_file; }

    // Presses OK: every field is accepted in tab order, then the song is saved.
    void accept();
    // The control of a checked field.
    QWidget* checkedControl(SongCheck check) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void activated() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void display(const Row& record);
    bool acceptFields();
    // The user left a checked field: its check runs when its text changed since it was last shown
    // or accepted.
    void fieldLeft(SongCheck check);
    void showCategoryChoices();
    void refreshCategory();
    // Shows what a check changed in the record (the time brought back to minutes and seconds,
    // the category taken) and remembers the texts as accepted.
    void showAccepted();
    // The add-mode dispatch: where adding a song hands over to the add wizards. Returns true when
    // a wizard took over (the form then closes).
    bool dispatchToWizard(AddDispatch dispatch);

    Database& m_db;
    const Settings& m_settings;
    SongRules m_rules;
    FormSession m_session;
    Row m_record;

    SongFormTabs* m_tabs = nullptr;
    SongFilePanel* m_file = nullptr;
    QPushButton* m_albumDefaults = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;

    QHash<int, QString> m_accepted; // per check: the text last shown or accepted
    bool m_checking = false;
    QPointer<QWidget> m_caller;
    std::optional<ProcedureContext> m_procedures;
};

} // namespace tunarium
