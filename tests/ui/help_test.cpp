// The user guide and its help window; the prompter's file filters and font styles.
#include "ui/gui_prompter.h"
#include "ui/help_guide.h"
#include "ui/help_window.h"

#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <gtest/gtest.h>

using namespace tunarium;

namespace {

TEST(HelpGuide, EveryTopicHasTextAndEveryLinkLeadsToATopic) {
    QStringList pages;
    for (const HelpTopic& t : helpTopics()) {
        pages << t.page;
    }
    static const QRegularExpression link(QStringLiteral("href=\"([a-z_]+\\.html)"));
    for (const HelpTopic& t : helpTopics()) {
        EXPECT_GT(helpTopicText(t.page).size(), 300) << t.page.toStdString();
        QFile file(":/help/" + t.page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& m : link.globalMatch(html)) {
            EXPECT_TRUE(pages.contains(m.captured(1)))
                << t.page.toStdString() << " -> " << m.captured(1).toStdString();
        }
    }
}

TEST(HelpGuide, SearchFindsTopicsHoldingEveryWord) {
    const QVector<HelpTopic> found = searchHelp("damaged FIX");
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found.first().page, "maintenance.html");
    EXPECT_TRUE(searchHelp("damaged zebra").isEmpty());
    EXPECT_TRUE(searchHelp("   ").isEmpty());
}

TEST(HelpWindow, SearchTabListsTopicsAndOpensTheChosenOne) {
    HelpWindow window;
    window.showSearch();
    EXPECT_EQ(window.search("Query Wizard"), static_cast<int>(searchHelp("Query Wizard").size()));
    ASSERT_GT(window.searchResults()->count(), 0);
    QListWidgetItem* first = window.searchResults()->item(0);
    emit window.searchResults()->itemClicked(first);
    EXPECT_EQ(window.currentPage(), first->data(Qt::UserRole).toString());
    EXPECT_FALSE(window.findChild<QTextBrowser*>()->textCursor().selectedText().isEmpty());
}

TEST(GuiPrompter, FiltersBecomeQtFilters) {
    EXPECT_EQ(qtFileFilter("Import Files|*.CSV|All Files|*.*"), "Import Files (*.CSV);;All Files (*.*)");
    EXPECT_EQ(qtFileFilter("Pictures|*.bmp;*.gif"), "Pictures (*.bmp *.gif)");
    EXPECT_EQ(qtFileFilter("*.txt"), "*.txt");
}

TEST(GuiPrompter, FontChoicesKeepWeightItalicAndColour) {
    FontChoice choice{"DejaVu Sans", 12, 0x0000ff, 700 | 0x1000};
    const QFont font = fontOf(choice);
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    const FontChoice back = fontChoiceOf(font, choice.colour);
    EXPECT_EQ(back.style, choice.style);
    EXPECT_EQ(colourOf(0x0000ff), QColor(Qt::red));
    EXPECT_EQ(colourValue(QColor(0, 0, 255)), 0xff0000);
}

} // namespace
