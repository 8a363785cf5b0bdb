// The dialog that asks for a saved search's name ("Save Search…", a rename): the name, at most
// kSavedSearchNameWidth characters, "&OK" and "Cancel". It is window-modal over its parent and
// answers through a callback, with no event loop of its own; a blank name is refused under the
// field and the dialog stays.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

namespace tunarium {

class SearchNameDialog : public QDialog {
public:
    // `chosen` gets the name when the user presses OK with one; the dialog then closes itself
    // (and is deleted). Cancel closes it without a call.
    SearchNameDialog(QWidget* parent, const QString& title, const QString& name,
                     std::function<void(const QString&)> chosen);

    // Opens the dialog and returns it (deleted when it closes).
    static SearchNameDialog* ask(QWidget* parent, const QString& title, const QString& name,
                                 std::function<void(const QString&)> chosen);

    QLineEdit* nameField() const { return m_name; }
    QString problem() const;
    // What OK does.
    void accept() override;

private:
    QLineEdit* m_name = nullptr;
    QLabel* m_problem = nullptr;
    std::function<void(const QString&)> m_chosen;
};

} // namespace tunarium
