// BrowseAlbums ("Albums"): the albums in five orders, the two category tabs ranged to the category
// chosen with "Select Cate&gory", the quick locator, the album reports of &Print, the album wizard,
// and the album form (started by name) for Add, Copy and Change. Delete asks and deletes the album
// with its songs through the form pattern when no album form is registered to do it; the popup's
// "&Undo Delete" puts the last deleted album and its songs back.
#pragma once

#include "catalogue/ui/browse_window.h"
#include "ui/procedure_registry.h"

namespace tunarium {

class AlbumsBrowseWindow : public BrowseWindow {
public:
    AlbumsBrowseWindow(const ProcedureContext& context);

    // Opens the browse in the context's workspace; nullptr when the tables cannot be opened.
    static AlbumsBrowseWindow* openAlbums(const ProcedureContext& context);

    // The popup as it shows now: Add and Change are greyed while no album form is registered.
    QString shownPopupText() const;

    // The category the two category tabs show (0: none chosen).
    void setCategory(qint64 categoryId);
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* wizardButton() const { return m_wizard; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* selectCategoryButton() const { return m_selectCategory; }

protected:
    void openForm(Request request, const Row& record) override;
    QVector<PopupEntry> popupExtras() const override;
    void extraPopupChosen(int entry) override;
    void pageShown() override;

private:
    bool registered(const char* name) const;
    void start(const char* name, const QVariant& argument, std::function<void(int, const Row&)> answer = {});
    void copyAlbum();
    void startWizard();
    void printReport();
    void chooseCategory();
    void deleteAlbum(const Row& record);
    // "&Undo Delete" (also Ctrl+Z): the album the last delete removed comes back with its songs.
    bool canUndoDelete() const;
    void undoDelete();

    ProcedureContext m_context;
    QPushButton* m_copy = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_wizard = nullptr;
    QPushButton* m_selectCategory = nullptr;
};

} // namespace tunarium
