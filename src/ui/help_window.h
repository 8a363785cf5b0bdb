// The help window: the user guide with its contents, a search over every topic, and the topic
// pane with back and forward.
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace tunarium {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the window at the contents page with the Contents tab.
    void showContents();
    // Shows the window with the Search tab, ready for the user's words.
    void showSearch();
    void showTopic(const QString& page);

    // What the topic pane shows ("songs.html").
    QString currentPage() const;
    // Runs a search as the Search tab does; returns the number of topics found.
    int search(const QString& words);
    QListWidget* searchResults() const { return m_results; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildContents();
    QWidget* buildSearch();
    void openResult(int row);
    void findInTopic();
    void raiseWindow();

    QTabWidget* m_tabs;
    QListWidget* m_contents;
    QLineEdit* m_query;
    QListWidget* m_results;
    QTextBrowser* m_browser;
    QLineEdit* m_find;
};

} // namespace tunarium
