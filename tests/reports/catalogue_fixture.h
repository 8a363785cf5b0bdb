// A small collection for the reports of the catalogue (songs, categories, albums, a playlist), a
// prompter that answers the font dialog, and a report run into a page queue read back as what a
// reader sees: the title, the column heads, the lines, the group headings, the closing band and
// the page numbers.
#pragma once

#include "report_test_support.h"

#include "data/database.h"
#include "reports/page_sink.h"
#include "reports/report_run.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

// Texts in failures as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace tunarium::test {

// Answers messages as RecordingPrompter does, and the font dialog with `font` (cancelled without).
class ReportPrompter : public RecordingPrompter {
public:
    bool chooseFont(const QString& caption, FontChoice& choice) override {
        fontCaptions << caption;
        offered << choice;
        if (!font) {
            return false;
        }
        choice = *font;
        return true;
    }
    std::optional<FontChoice> font;
    QStringList fontCaptions;
    QList<FontChoice> offered;
};

struct PrintedReport {
    QString title;
    QStringList headerLines; // the lines between the title and the heads
    QStringList heads;
    QList<QStringList> lines; // every detail line of every page, its cells left to right
    QStringList groups;       // group headings in order, repeated ones included
    QStringList closing;      // the closing band's texts
    QStringList footers;      // one a page
    int pages = 0;
    bool completed = false;
    bool kept = false;

    // The first cell of every line.
    QStringList firstColumn() const;
    // The cells of the column headed `head`.
    QStringList column(const QString& head) const;
};

class CatalogueFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // Adds the songs, categories, albums and playlist the tests print.
    void seed();
    void addSong(SongRecord song);
    void addSongs(int count, const QString& artist);

    // Runs the report as the windows do, into a page queue.
    PrintedReport print(const QString& name, ReportRequest request = {}, bool previewing = true);
    // The report's run after print(): its layout and its source.
    ReportRun* lastRun() const { return m_run.get(); }

    TempCollection dir;
    ReportPrompter prompter;
    Database db{prompter, dir.dir(), dir.configDir() + "/profile.ini"};
    Settings settings{dir.configDir() + "/Tunar98.INI"};
    std::unique_ptr<ReportRun> m_run;
    std::unique_ptr<PageQueue> m_queue;
};

} // namespace tunarium::test
