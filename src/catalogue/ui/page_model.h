// The table model of a browse list: a view onto the list engine's page, never holding more than
// the rows the list shows. The window calls pageChanged() when the engine says the page changed.
#pragma once

#include "catalogue/list_engine.h"

#include <QAbstractTableModel>

#include <functional>

namespace tunarium {

class PageModel : public QAbstractTableModel {
public:
    explicit PageModel(const ListEngine& engine, QObject* parent = nullptr);

    // Column alignment and header texts from the list's format (one per column; missing ones
    // keep the definition's header and left alignment).
    void setColumnLook(const QVector<QChar>& justifications, const QStringList& headers);
    void pageChanged();
    // Rows for which `marked` holds are shown marked (the songs chosen for a drag).
    void setMarked(std::function<bool(const PageRow&)> marked) { m_marked = std::move(marked); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Qt::Alignment alignment(int column) const;

    const ListEngine& m_engine;
    std::function<bool(const PageRow&)> m_marked;
    QVector<QChar> m_justifications;
    QStringList m_headers;
};

} // namespace tunarium
