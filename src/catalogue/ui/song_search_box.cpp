// The search box above a songs list.
#include "catalogue/ui/song_search_box.h"

#include "catalogue/song_search.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

namespace {

// Escape is the box's own: it clears the text rather than reaching the window, which would close.
class SearchField : public QLineEdit {
public:
    explicit SearchField(std::function<void()> escape) : m_escape(std::move(escape)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            m_escape();
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    std::function<void()> m_escape;
};

} // namespace

SongSearchBox::SongSearchBox(std::function<void(const QString&)> search, std::function<void()> leave,
                             QWidget* parent)
    : QWidget(parent), m_search(std::move(search)) {
    m_field = new SearchField([this, leave = std::move(leave)] {
        if (m_field->text().isEmpty()) {
            leave();
        } else {
            clear();
        }
    });
    m_field->setPlaceholderText(
        QStringLiteral("Search (Ctrl+F): words, artist:, title:, bpm:120-128, -word"));
    m_field->setClearButtonEnabled(true);
    m_field->setMaxLength(kSongSearchWidth);
    m_field->setToolTip(songSearchSyntaxHelp());
    m_field->setAccessibleName(QStringLiteral("Search"));
    m_problem = new QLabel;
    m_problem->setWordWrap(true);
    QPalette palette = m_problem->palette();
    palette.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
    m_problem->setPalette(palette);
    m_problem->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_field);
    layout->addWidget(m_problem);

    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(kPauseMs);
    connect(m_pause, &QTimer::timeout, this, &SongSearchBox::searchNow);
    connect(m_field, &QLineEdit::textEdited, this, [this](const QString& typed) {
        if (typed.isEmpty()) {
            // Cleared (the clear button, or every character deleted): the whole list at once.
            searchNow();
        } else {
            m_pause->start();
        }
    });
}

QString SongSearchBox::text() const {
    return m_field->text();
}

void SongSearchBox::showProblem(const QString& problem) {
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
}

QString SongSearchBox::problem() const {
    return m_problem->isVisible() ? m_problem->text() : QString();
}

void SongSearchBox::focusSearch() {
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void SongSearchBox::clear() {
    m_field->clear();
    searchNow();
}

void SongSearchBox::searchNow() {
    m_pause->stop();
    m_search(m_field->text());
}

} // namespace tunarium
