// What makes a browse window an explorer: its columns chosen from the field table and kept with the
// rest of its list's appearance under the "Xplore" keys, the order by a header click with the marker
// on the ordered column, and the "Format Listbox..." window that View Properties opens.
#pragma once

#include "catalogue/explorer_layout.h"
#include "catalogue/ui/browse_window.h"

#include <QPointer>

#include <QDialog>

namespace tunarium {

class ExplorerSupport {
public:
    ExplorerSupport(BrowseWindow& window, ExplorerDefinition definition, QString positionFile,
                    Prompter& prompter);

    const ExplorerDefinition& definition() const { return m_def; }
    // The format at opening (the window's layoutAtOpening): the kept appearance, its columns put on
    // the engine, and the kept order.
    QString restore(const QString& design, const QString& datePicture);
    // After the window opened: the list box's look and the header clicks.
    void opened();
    // The window closes: every value written (the window's keepLayout).
    void keep();

    // A left click on the header of `column` (counted from 0).
    void headerClicked(int column);
    const ExplorerOrder& order() const { return m_order; }
    // The field each column shows.
    const QVector<int>& columnFields() const { return m_fields; }

    // Shows `format` at once (the format window's every change); false when it cannot be shown.
    bool applyFormat(const QString& format);
    const ExplorerAppearance& appearance() const { return m_appearance; }
    void setAppearance(const ExplorerAppearance& appearance);
    // The design's appearance: the design format and the list's own look.
    ExplorerAppearance designAppearance() const { return m_design; }
    // The list box's place and size: the kept ones, or where the window has put it.
    QRect listBox() const;
    // View Properties: opens the format window over the explorer (once).
    void showProperties();
    QDialog* propertiesWindow() const { return m_properties; }
    // A right click on the header of `column` (counted from 0): the "Format Listbox Column" window
    // for that column (one at a time).
    void showColumnProperties(int column);
    QDialog* columnWindow() const { return m_columnWindow; }
    // The format windows other than `except` show the explorer's appearance again.
    void reloadFormatWindows(const QDialog* except);

private:
    void showHeaders();
    void applyLook();
    void placeList();
    // A column dragged with the mouse: the format takes the new order.
    void columnMoved(int from, int to);

    BrowseWindow& m_window;
    Prompter& m_prompter;
    ExplorerDefinition m_def;
    ExplorerLayoutKeys m_keys;
    ExplorerAppearance m_design;
    ExplorerAppearance m_appearance;
    ExplorerOrder m_order;
    QVector<int> m_fields;
    QPointer<QDialog> m_properties;
    QPointer<QDialog> m_columnWindow;
};

} // namespace tunarium
