// The page model of browse lists.
#include "catalogue/ui/page_model.h"

#include <QApplication>
#include <QBrush>
#include <QPalette>

namespace tunarium {

PageModel::PageModel(const ListEngine& engine, QObject* parent)
    : QAbstractTableModel(parent), m_engine(engine) {}

void PageModel::setColumnLook(const QVector<QChar>& justifications, const QStringList& headers) {
    m_justifications = justifications;
    m_headers = headers;
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
}

void PageModel::pageChanged() {
    // A page is a few dozen rows: telling the view to read them all again costs nothing worth
    // tracking row by row.
    beginResetModel();
    endResetModel();
}

int PageModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_engine.rowCount();
}

int PageModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_engine.columnCount();
}

Qt::Alignment PageModel::alignment(int column) const {
    const QChar j = column < m_justifications.size() ? m_justifications[column] : QChar(u'L');
    if (j == u'R' || j == u'D') {
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    if (j == u'C') {
        return Qt::AlignHCenter | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QVariant PageModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_engine.rowCount() || index.column() >= m_engine.columnCount()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return m_engine.cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(index.column()));
    case Qt::BackgroundRole:
        if (m_marked && m_marked(m_engine.row(index.row()))) {
            QColor mark = QApplication::palette().color(QPalette::Highlight);
            mark.setAlpha(90);
            return QBrush(mark);
        }
        return {};
    default:
        return {};
    }
}

QVariant PageModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_engine.columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return section < m_headers.size() ? m_headers[section] : m_engine.headerText(section);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

} // namespace tunarium
