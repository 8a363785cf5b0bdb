// The list of a wizard's songs step, shared by the album wizard and the add wizards: the list over
// the list engine's page with its thumb, the four moves beside it, and the step's buttons below it
// in a grid. The list reads as many rows as it has room for; the moves and the buttons that work
// on a row are enabled while the list shows one.
#pragma once

#include "catalogue/move_routine.h"

#include <QList>
#include <QWidget>

#include <functional>

class QGridLayout;
class QPushButton;
class QScrollBar;

namespace tunarium {

class BrowseList;
class ListEngine;

class WizardListPanel : public QWidget {
public:
    // The list shows the engine's page in `format`; the moves go to `moved`, the list's popup menu
    // is the engine's.
    WizardListPanel(ListEngine& engine, const QString& format, std::function<void(MoveDirection)> moved,
                    QWidget* parent = nullptr);

    BrowseList* list() const { return m_list; }
    // A button in the grid below the list at `row`, `column`, `span` columns wide. `onRow`: enabled
    // only while the list shows a row.
    QPushButton* addButton(const QString& text, int row, int column, int span, bool onRow,
                           std::function<void()> pressed);
    // A button of the panel by its text or, for the moves, its tip; null for none.
    QPushButton* button(const QString& text) const;
    // The engine's page shown, and the buttons that work on a row following it.
    void showPage();
    // The lines the list has room for, to the engine.
    void fitLines();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ListEngine& m_engine;
    BrowseList* m_list = nullptr;
    QScrollBar* m_thumb = nullptr;
    QGridLayout* m_grid = nullptr;
    QList<QPushButton*> m_buttons;
    QList<QPushButton*> m_onRow;
};

} // namespace tunarium
