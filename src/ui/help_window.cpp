// The help window over the user guide.
#include "ui/help_window.h"

#include "ui/dialog_units.h"
#include "ui/help_guide.h"
#include "ui/widget_geometry.h"

#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace tunarium {

namespace {

// The guide's size, in dialog units, when it first opens; it opens over the frame and inside it.
constexpr QSize kDesignSize(500, 340);

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_tabs(new QTabWidget), m_contents(new QListWidget),
      m_query(new QLineEdit), m_results(new QListWidget), m_browser(new QTextBrowser), m_find(new QLineEdit) {
    initHelpResources();
    setWindowTitle(tr("Tunarium Pro 98 Help"));
    resize(DialogUnits(this).toPixels(kDesignSize));

    m_tabs->addTab(buildContents(), tr("Contents"));
    m_tabs->addTab(buildSearch(), tr("Search"));

    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    QFile css(QStringLiteral(":/help/guide.css"));
    if (css.open(QIODevice::ReadOnly)) {
        m_browser->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));
    }

    auto* back = new QToolButton;
    back->setText(tr("&Back"));
    back->setEnabled(false);
    auto* forward = new QToolButton;
    forward->setText(tr("&Forward"));
    forward->setEnabled(false);
    auto* home = new QToolButton;
    home->setText(tr("&Contents"));
    connect(back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, [this] { showTopic(QStringLiteral("index.html")); });
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);

    m_find->setPlaceholderText(tr("Find in topic (Ctrl+F)"));
    m_find->setClearButtonEnabled(true);
    connect(m_find, &QLineEdit::returnPressed, this, &HelpWindow::findInTopic);
    auto* findShortcut = new QShortcut(QKeySequence::Find, this);
    connect(findShortcut, &QShortcut::activated, this, [this] {
        m_find->setFocus();
        m_find->selectAll();
    });

    auto* bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addWidget(home);
    bar->addStretch();
    bar->addWidget(m_find);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({240, 660});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter);

    showTopic(QStringLiteral("index.html"));
}

QWidget* HelpWindow::buildContents() {
    for (const HelpTopic& topic : helpTopics()) {
        auto* item = new QListWidgetItem(topic.title, m_contents);
        item->setData(Qt::UserRole, topic.page);
    }
    connect(m_contents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toString()); });
    connect(m_contents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toString()); });
    return m_contents;
}

QWidget* HelpWindow::buildSearch() {
    auto* page = new QWidget;
    auto* prompt = new QLabel(tr("&Type the words to find:"));
    prompt->setBuddy(m_query);
    auto* find = new QPushButton(tr("&Find"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_query);
    row->addWidget(find);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(prompt);
    layout->addLayout(row);
    layout->addWidget(new QLabel(tr("Topics found:")));
    layout->addWidget(m_results);
    connect(find, &QPushButton::clicked, this, [this] { search(m_query->text()); });
    connect(m_query, &QLineEdit::returnPressed, this, [this] { search(m_query->text()); });
    connect(m_results, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openResult(m_results->row(item)); });
    connect(m_results, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { openResult(m_results->row(item)); });
    return page;
}

int HelpWindow::search(const QString& words) {
    m_query->setText(words);
    m_results->clear();
    const QVector<HelpTopic> found = searchHelp(words);
    for (const HelpTopic& topic : found) {
        auto* item = new QListWidgetItem(topic.title, m_results);
        item->setData(Qt::UserRole, topic.page);
    }
    if (found.isEmpty() && !words.trimmed().isEmpty()) {
        auto* none = new QListWidgetItem(tr("No topic holds all these words."), m_results);
        none->setFlags(Qt::NoItemFlags);
    }
    return static_cast<int>(found.size());
}

void HelpWindow::openResult(int row) {
    QListWidgetItem* item = m_results->item(row);
    if (!item || item->data(Qt::UserRole).toString().isEmpty()) {
        return;
    }
    showTopic(item->data(Qt::UserRole).toString());
    const QString first = m_query->text().split(u' ', Qt::SkipEmptyParts).value(0);
    if (!first.isEmpty()) {
        m_browser->moveCursor(QTextCursor::Start);
        m_browser->find(first);
    }
}

void HelpWindow::findInTopic() {
    const QString text = m_find->text();
    if (text.isEmpty()) {
        return;
    }
    if (!m_browser->find(text)) {
        m_browser->moveCursor(QTextCursor::Start);
        m_browser->find(text);
    }
}

void HelpWindow::showTopic(const QString& page) {
    m_browser->setSource(helpGuideUrl(page));
}

QString HelpWindow::currentPage() const {
    return m_browser->source().fileName();
}

void HelpWindow::raiseWindow() {
    if (!isVisible()) {
        centreOver(this, parentWidget());
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::showContents() {
    showTopic(QStringLiteral("index.html"));
    m_tabs->setCurrentIndex(0);
    raiseWindow();
}

void HelpWindow::showSearch() {
    m_tabs->setCurrentIndex(1);
    raiseWindow();
    m_query->setFocus();
    m_query->selectAll();
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tunarium
