// The search box above a songs list: the text field with its syntax in the tooltip, the reason a
// text cannot be searched shown under it, and the search asked for once typing pauses for 150 ms.
// Escape clears the box (and, when it is empty, gives the focus back to the list).
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QTimer;

namespace tunarium {

class SongSearchBox : public QWidget {
public:
    // `search` gets the text whenever typing pauses, and at once when the box is cleared; `leave`
    // is called when Escape meets an empty box.
    SongSearchBox(std::function<void(const QString&)> search, std::function<void()> leave,
                  QWidget* parent = nullptr);

    static constexpr int kPauseMs = 150;

    QLineEdit* field() const { return m_field; }
    QString text() const;
    // The reason the text cannot be searched, under the box; empty hides it.
    void showProblem(const QString& problem);
    QString problem() const;
    // Selects the text and takes the focus (Ctrl+F, "/").
    void focusSearch();
    void clear();
    // The search the pause would ask for, now.
    void searchNow();

private:
    QLineEdit* m_field = nullptr;
    QLabel* m_problem = nullptr;
    QTimer* m_pause = nullptr;
    std::function<void(const QString&)> m_search;
};

} // namespace tunarium
