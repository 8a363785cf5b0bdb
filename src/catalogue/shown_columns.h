// The columns a browse shows of its list's design, in the order the user dragged them to. Each
// shown column names the design column it shows, so that a dragged order is kept with the widths
// (list_format.h keeps them); the design columns an order leaves out follow in design order.
#pragma once

#include "catalogue/list_definition.h"

#include <QString>
#include <QVector>

namespace tunarium {

class ShownColumns {
public:
    explicit ShownColumns(QVector<ColumnDef> design);

    // Shows the design columns in `order` (counted from 0): a column named twice or outside the
    // design is left out, the ones it leaves out follow in design order. Returns the columns shown.
    QVector<ColumnDef> show(const QVector<int>& order);
    // The design column each shown column shows.
    const QVector<int>& fields() const { return m_fields; }

    // The shown column `from` dragged to place `to` in a list showing `format`: the format with
    // the column moved (its columns naming their design columns), and the columns shown in the new
    // order. Empty, with nothing changed, when either place is outside the columns or they are the
    // same.
    QString move(const QString& format, int from, int to);
    // The columns shown, in their order.
    QVector<ColumnDef> columns() const;

private:
    QVector<ColumnDef> m_design;
    QVector<int> m_fields;
};

} // namespace tunarium
