// The selection lists of the albums room, opened in front of their caller with the Select request:
// SelectAlbum ("Select An Album") answers with the chosen album, SelectFileNumber ("Select File
// Number") with the chosen song. Both open on the record the caller names (its ALB:AlbumID or
// TUN:ID as the context's argument) and answer the context's answer.
#pragma once

#include "catalogue/ui/browse_window.h"
#include "ui/procedure_registry.h"

namespace tunarium {

class SelectFileNumberWindow : public BrowseWindow {
public:
    SelectFileNumberWindow(const ProcedureContext& context, Answer answer);

    void setCategory(qint64 categoryId);
    QPushButton* selectCategoryButton() const { return m_selectCategory; }

protected:
    void openForm(Request request, const Row& record) override;
    QVector<PopupEntry> popupExtras() const override;
    void extraPopupChosen(int entry) override;
    void pageShown() override;

private:
    void chooseCategory();

    ProcedureContext m_context;
    QPushButton* m_selectCategory = nullptr;
};

class SelectAlbumWindow : public BrowseWindow {
public:
    SelectAlbumWindow(const ProcedureContext& context, Answer answer);

protected:
    void openForm(Request request, const Row& record) override;
    QVector<PopupEntry> popupExtras() const override;
    void extraPopupChosen(int entry) override;
};

// Open the lists for a procedure context; nullptr when the tables cannot be opened (the caller has
// then been answered Cancelled).
SelectAlbumWindow* openSelectAlbum(const ProcedureContext& context);
SelectFileNumberWindow* openSelectFileNumber(const ProcedureContext& context);

} // namespace tunarium
