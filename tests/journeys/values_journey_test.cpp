// Lengths and dates as a user types them, in every form that takes them: read as written ("3:39"
// is a song length, "1999-05-01" a date under any date format), refused with the field's message
// when they do not read, and a date that holds a year shown as that year everywhere. Then a change
// of date format that keeps a browse's layout, and an import of ISO dates.
#include "journey_fixture.h"

#include "albums/ui/add_wizard_window.h"
#include "albums/ui/albums_browse_window.h"
#include "albums/ui/track_form_window.h"
#include "albums/ui/update_album_window.h"
#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/song_form_window.h"
#include "catalogue/ui/songs_browse_window.h"
#include "catalogue/ui/xplore_windows.h"
#include "data/date_formats.h"
#include "data/date_time.h"
#include "exchange/ui/import_window.h"
#include "process/ui/process_window.h"
#include "shell/ui/preferences_window.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <algorithm>

using namespace tunarium;

namespace {

const qint64 kMayDay1999 = dayNumberFromYmd(1999, 5, 1);

qint64 length(int minutes, int seconds) {
    return timeValueFromParts({0, minutes, seconds, 0});
}

// The entry a form shows beside the caption that starts with `label`, found as a user finds it.
PictureEdit* entry(QWidget* window, const QString& label) {
    for (QFormLayout* form : window->findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* caption = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
            auto* text = caption ? qobject_cast<QLabel*>(caption->widget()) : nullptr;
            if (!text || !field || !field->widget()) {
                continue;
            }
            if (text->text().remove(u'&').startsWith(label)) {
                if (auto* edit = dynamic_cast<PictureEdit*>(field->widget())) {
                    return edit;
                }
            }
        }
    }
    return nullptr;
}

// A visible window of that kind anywhere in the program: a window of its own, or inside one.
template <class W> W* anyShown() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* w = qobject_cast<W*>(top); w && w->isVisible()) {
            return w;
        }
        for (W* w : top->findChildren<W*>()) {
            if (w->isVisible()) {
                return w;
            }
        }
    }
    return nullptr;
}

// The texts a list shows on one row, in the order of its columns on the screen.
QStringList shownRow(QTableView* list, int row) {
    QStringList out;
    const QHeaderView* header = list->horizontalHeader();
    for (int c = 0; c < list->model()->columnCount(); ++c) {
        out << list->model()->index(row, header->logicalIndex(c)).data().toString();
    }
    return out;
}

// Answers the program's file dialogs with the files given; messages go to the recording prompter.
class ChoosingPrompter final : public Prompter {
public:
    explicit ChoosingPrompter(RecordingPrompter& messages) : m_messages(messages) {}
    int message(const PromptMessage& m) override { return m_messages.message(m); }
    void halt(const QString& text) override { m_messages.halt(text); }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override {
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QStringList files;

private:
    RecordingPrompter& m_messages;
};

class ValuesJourney : public test::JourneyTest {
protected:
    // Dates shown as "October 31, 1959"; a new song opens the song form.
    QByteArray settingsText() const override {
        return "[Settings]\nAddMode=N\nSetupWizardComplete=1\nDateFormat=d4\nAutoAddToAlbums=0\n";
    }
    Prompter& programPrompter() override { return choosing; }

    void addSong(qint64 id, const QString& title, qint64 released, qint64 albumId = 0) {
        SongRecord s;
        s.id = id;
        s.artist = QStringLiteral("Abba");
        s.title = title;
        s.album = albumId ? QStringLiteral("Arrival") : QString();
        s.albumId = albumId;
        s.media = QStringLiteral("CD");
        s.releaseDate = released;
        ASSERT_TRUE(db().store().insert(s).ok());
    }
    // The last message shown, and how many there were.
    QString lastMessage() const { return prompter.messages.isEmpty() ? QString() : prompter.messages.last().text; }

    ChoosingPrompter choosing{prompter};
};

TEST_F(ValuesJourney, TheSongFormReadsLengthsAndDatesAsTypedAndRefusesLetters) {
    choose(FrameCommand::BrowseSongs);
    auto* browse = waitFor<SongsBrowseWindow>();
    ASSERT_NE(browse, nullptr) << messagesSoFar();
    browse->button(BrowseAction::Add)->click();
    settle();
    auto* form = waitFor<SongFormWindow>();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    PictureEdit* time = entry(form, "Time");
    PictureEdit* released = entry(form, "Release Date");
    PictureEdit* bpm = entry(form, "Beats Per Minute");
    ASSERT_TRUE(time && released && bpm);
    // Each entry shows how it is typed.
    EXPECT_EQ(time->placeholderText(), "m:ss or h:mm:ss");
    EXPECT_EQ(released->placeholderText(), "Month d, yyyy or yyyy-mm-dd");

    entry(form, "Artist")->setText(QStringLiteral("Abba"));
    entry(form, "Title")->setText(QStringLiteral("Waterloo"));
    // Letters in Time, then in BPM: each refused with its field's message, the focus on it.
    time->setText(QStringLiteral("abc"));
    form->accept();
    settle();
    ASSERT_EQ(prompter.messages.size(), 1) << messagesSoFar();
    EXPECT_TRUE(lastMessage().startsWith("Time:") && lastMessage().contains("m:ss")) << messagesSoFar();
    EXPECT_EQ(form->focusWidget(), time);
    EXPECT_EQ(time->text(), "");
    time->setText(QStringLiteral("3:39"));
    bpm->setText(QStringLiteral("abc"));
    form->accept();
    settle();
    ASSERT_EQ(prompter.messages.size(), 2) << messagesSoFar();
    EXPECT_TRUE(lastMessage().startsWith("Beats Per Minute:")) << messagesSoFar();
    EXPECT_EQ(form->focusWidget(), bpm);
    ASSERT_NE(shown<SongFormWindow>(), nullptr) << "the song was saved with letters in BPM";
    // Then an ISO date under the "October 31, 1959" format, and the length as minutes and seconds.
    bpm->setText(QStringLiteral("120"));
    released->setText(QStringLiteral("1999-05-01"));
    form->accept();
    ASSERT_TRUE(waitGone<SongFormWindow>()) << messagesSoFar();
    std::vector<SongRecord> songs = all<SongRecord>();
    ASSERT_EQ(songs.size(), 1u);
    EXPECT_EQ(songs[0].time, length(3, 39)) << "3:39 is three minutes thirty-nine, not hours";
    EXPECT_EQ(songs[0].releaseDate, kMayDay1999);
    EXPECT_EQ(songs[0].beatsPerMinute, 120);

    // Opened again: the length as it was typed, the date in the user's format.
    browse->engine().refresh();
    settle();
    browse->engine().selectRow(0);
    browse->button(BrowseAction::Change)->click();
    settle();
    form = waitFor<SongFormWindow>();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    EXPECT_EQ(entry(form, "Time")->text(), "3:39");
    EXPECT_EQ(entry(form, "Release Date")->text(), "May 1, 1999");
    form->accept();
    ASSERT_TRUE(waitGone<SongFormWindow>()) << messagesSoFar();
    EXPECT_EQ(all<SongRecord>()[0].time, length(3, 39));

    // Enter on a form nobody filled in saves no song.
    const int before = static_cast<int>(prompter.messages.size());
    browse->button(BrowseAction::Add)->click();
    settle();
    form = waitFor<SongFormWindow>();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    QTest::keyClick(entry(form, "Artist"), Qt::Key_Return);
    settle();
    EXPECT_EQ(static_cast<int>(prompter.messages.size()), before + 1) << messagesSoFar();
    EXPECT_TRUE(lastMessage().contains("no artist and no title")) << messagesSoFar();
    QTest::keyClick(form, Qt::Key_Escape);
    ASSERT_TRUE(waitGone<SongFormWindow>()) << messagesSoFar();
    songs = all<SongRecord>();
    ASSERT_EQ(songs.size(), 1u) << "a blank song was saved";
    EXPECT_EQ(songs[0].title, "Waterloo");
}

TEST_F(ValuesJourney, AYearIsShownAsAYearInTheListsAndFormsAndSavedAsOne) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
    AlbumRecord a;
    a.albumId = 1;
    a.artist = QStringLiteral("Abba");
    a.album = QStringLiteral("Arrival");
    a.media = QStringLiteral("CD");
    a.releaseDate = 1976; // as Year Only, an import of "1976" or the generator hold it
    ASSERT_TRUE(db().store().insert(a).ok());
    addSong(1, QStringLiteral("Dancing Queen"), 1976, 1);
    db().closeTables({TableId::Tunarium, TableId::Album});

    choose(FrameCommand::BrowseSongs);
    auto* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    EXPECT_TRUE(shownRow(songs->list(), 0).contains("1976")) << shownRow(songs->list(), 0).join('|').toStdString();
    songs->engine().selectRow(0);
    songs->button(BrowseAction::Change)->click();
    settle();
    auto* form = waitFor<SongFormWindow>();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    EXPECT_EQ(entry(form, "Release Date")->text(), "1976");
    form->accept();
    ASSERT_TRUE(waitGone<SongFormWindow>()) << messagesSoFar();
    EXPECT_EQ(all<SongRecord>()[0].releaseDate, 1976) << "the year was not read back";
    songs->close();
    settle();

    choose(FrameCommand::BrowseAlbums);
    auto* albums = waitFor<AlbumsBrowseWindow>();
    ASSERT_NE(albums, nullptr) << messagesSoFar();
    EXPECT_TRUE(shownRow(albums->list(), 0).contains("1976")) << shownRow(albums->list(), 0).join('|').toStdString();
    albums->engine().selectRow(0);
    albums->button(BrowseAction::Change)->click();
    settle();
    auto* album = waitFor<UpdateAlbumWindow>();
    ASSERT_NE(album, nullptr) << messagesSoFar();
    PictureEdit* released = entry(album, "Release Date");
    ASSERT_NE(released, nullptr);
    EXPECT_EQ(released->text(), "1976");
    // Letters are refused naming the format, and the date kept; an ISO date is taken.
    released->setText(QStringLiteral("abc"));
    album->accept();
    settle();
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_TRUE(lastMessage().contains("Month d, yyyy or yyyy-mm-dd")) << messagesSoFar();
    EXPECT_EQ(released->text(), "1976");
    ASSERT_NE(shown<UpdateAlbumWindow>(), nullptr);
    EXPECT_EQ(all<AlbumRecord>()[0].releaseDate, 1976);
    released->setText(QStringLiteral("1999-05-01"));
    album->accept();
    ASSERT_TRUE(waitGone<UpdateAlbumWindow>()) << messagesSoFar();
    EXPECT_EQ(all<AlbumRecord>()[0].releaseDate, kMayDay1999);
}

TEST_F(ValuesJourney, AQuickWizardTakesAnIsoDateAndTheTrackFormALengthAndKeepsTheOneReadForLetters) {
    choose(FrameCommand::WizardQuickSingleArtist);
    auto* wizard = waitFor<AddWizardWindow>();
    ASSERT_NE(wizard, nullptr) << messagesSoFar();
    wizard->artistField()->setText(QStringLiteral("Nina Simone"));
    wizard->albumField()->setText(QStringLiteral("Pastel Blues"));
    wizard->categoryBox()->setEditText(QStringLiteral("Soul"));
    wizard->button(QStringLiteral("&Read Compact Disc Information"))->click();
    ASSERT_TRUE(QTest::qWaitFor([wizard] { return wizard->readingWindow() == nullptr; }, 5000));
    settle();

    // The first track's length, read from the disc as 3:25: letters are refused and it stays.
    wizard->engine().selectRow(0);
    wizard->button(QStringLiteral("&Change"))->click();
    settle();
    TrackFormWindow* track = wizard->trackForm();
    ASSERT_NE(track, nullptr) << messagesSoFar();
    EXPECT_EQ(track->timeField()->text(), "3:25");
    track->timeField()->setText(QStringLiteral("abc"));
    track->accept();
    settle();
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_TRUE(lastMessage().startsWith("Time:")) << messagesSoFar();
    ASSERT_EQ(wizard->trackForm(), track);
    EXPECT_EQ(track->timeField()->text(), "3:25");
    track->timeField()->setText(QStringLiteral("3:39"));
    track->accept();
    settle();
    EXPECT_EQ(wizard->trackForm(), nullptr) << messagesSoFar();

    PictureEdit* released = entry(wizard, "Release Date");
    ASSERT_NE(released, nullptr);
    EXPECT_TRUE(released->placeholderText().endsWith("yyyy-mm-dd")) << released->placeholderText().toStdString();
    released->setText(QStringLiteral("abc"));
    const int before = static_cast<int>(prompter.messages.size());
    wizard->accept();
    settle();
    ASSERT_EQ(static_cast<int>(prompter.messages.size()), before + 1) << messagesSoFar();
    EXPECT_TRUE(lastMessage().startsWith("Release Date:") && lastMessage().contains("yyyy-mm-dd"))
        << messagesSoFar();
    ASSERT_NE(shown<AddWizardWindow>(), nullptr) << "the album was written with letters for its date";
    released->setText(QStringLiteral("1999-05-01"));
    wizard->accept();
    ASSERT_TRUE(waitGone<AddWizardWindow>()) << messagesSoFar();

    const std::vector<AlbumRecord> albums = all<AlbumRecord>();
    ASSERT_EQ(albums.size(), 1u) << messagesSoFar();
    EXPECT_EQ(albums[0].releaseDate, kMayDay1999);
    std::vector<SongRecord> songs = all<SongRecord>();
    ASSERT_EQ(songs.size(), 2u);
    std::sort(songs.begin(), songs.end(), [](const auto& x, const auto& y) { return x.trackNumber < y.trackNumber; });
    EXPECT_EQ(songs[0].time, length(3, 39));
    EXPECT_EQ(songs[0].releaseDate, kMayDay1999);
    EXPECT_EQ(songs[1].time, length(4, 4));
}

TEST_F(ValuesJourney, AChangeOfDateFormatKeepsABrowsesLayoutAndShowsTheNewFormat) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium}));
    addSong(1, QStringLiteral("Waterloo"), kMayDay1999);
    db().closeTables({TableId::Tunarium});

    // Title dragged before Artist in the songs browse, which keeps its layout when it closes.
    choose(FrameCommand::BrowseSongs);
    auto* browse = waitFor<SongsBrowseWindow>();
    ASSERT_NE(browse, nullptr) << messagesSoFar();
    browse->list()->horizontalHeader()->moveSection(1, 0);
    const QStringList before = shownRow(browse->list(), 0);
    ASSERT_EQ(before.value(0), "Waterloo");
    ASSERT_TRUE(before.contains("May 1, 1999")) << before.join('|').toStdString();
    browse->button(BrowseAction::Close)->click();
    ASSERT_TRUE(waitGone<SongsBrowseWindow>());

    // Preferences: dates as 31/10/1959.
    choose(FrameCommand::Preferences);
    auto* preferences = anyShown<PreferencesWindow>();
    ASSERT_NE(preferences, nullptr) << messagesSoFar();
    preferences->dateList()->setCurrentIndex(dateFormatIndex(QStringLiteral("d6")));
    preferences->ok();
    ASSERT_TRUE(QTest::qWaitFor([] { return anyShown<PreferencesWindow>() == nullptr; }, 5000)) << messagesSoFar();
    settle();

    choose(FrameCommand::BrowseSongs);
    browse = waitFor<SongsBrowseWindow>();
    ASSERT_NE(browse, nullptr) << messagesSoFar();
    const QStringList after = shownRow(browse->list(), 0);
    EXPECT_EQ(after.value(0), "Waterloo") << "the kept layout was thrown away: " << after.join('|').toStdString();
    EXPECT_TRUE(after.contains("01/05/1999")) << after.join('|').toStdString();
}

TEST_F(ValuesJourney, AnImportReadsIsoDatesAndNamesThePictureForOthers) {
    const QString file = QDir(dir.configDir()).filePath("dates.csv");
    writeText(file, "\"Artist\",\"Title\",\"Release Date\",\"Time\"\n"
                    "\"Abba\",\"Waterloo\",\"1974-04-06\",\"2:46\"\n"
                    "\"Abba\",\"Fernando\",\"1975\",\"4:14\"\n"
                    "\"Abba\",\"Chiquitita\",\"01/16/1979\",\"5:26\"\n");
    choosing.files = {file};
    choose(FrameCommand::Import);
    auto* assign = anyShown<ImportWindow>();
    ASSERT_NE(assign, nullptr) << messagesSoFar();
    assign->okButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([] { return anyShown<ProcessWindow>() == nullptr; }, 20000));
    settle();
    ASSERT_TRUE(QTest::qWaitFor([] { return anyShown<ProcessWindow>() == nullptr; }, 20000));

    std::vector<SongRecord> songs = all<SongRecord>();
    ASSERT_EQ(songs.size(), 2u) << messagesSoFar();
    EXPECT_EQ(songs[0].title, "Waterloo");
    EXPECT_EQ(songs[0].releaseDate, dayNumberFromYmd(1974, 4, 6));
    EXPECT_EQ(songs[0].time, length(2, 46));
    EXPECT_EQ(songs[1].releaseDate, 1975);
    // The line whose date says nothing of its order is named, with the picture to choose.
    EXPECT_NE(messagesSoFar().find("@d2"), std::string::npos) << messagesSoFar();
    EXPECT_NE(messagesSoFar().find("01/16/1979"), std::string::npos) << messagesSoFar();
}

// The explorer ordered by a click on its Release Date header: a song dated by its year alone
// ("1999") stands just before the songs of 1 January 1999 onwards, after those of 1998, and
// clicked again, just after them.
class ExplorerDatesJourney : public ValuesJourney {
protected:
    QByteArray settingsText() const override {
        return "[Settings]\nAddMode=N\nSetupWizardComplete=1\nDateFormat=d4\nAutoAddToAlbums=0\n"
               "Interface=Explorer\n";
    }
    // Clicks the header whose text, without its order marker, is `text`; its column, -1 if none.
    int clickHeader(QTableView* list, const QString& text) {
        QHeaderView* header = list->horizontalHeader();
        for (int c = 0; c < list->model()->columnCount(); ++c) {
            QString shown = list->model()->headerData(c, Qt::Horizontal).toString();
            if (shown.startsWith(u'>') || shown.startsWith(u'<')) {
                shown = shown.mid(1);
            }
            if (shown == text) {
                header->setSectionHidden(c, false);
                list->scrollTo(list->model()->index(0, c));
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                                  QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                                         header->height() / 2));
                settle();
                return c;
            }
        }
        return -1;
    }
    static QStringList titles(const QTableView* list, int titleColumn) {
        QStringList out;
        for (int r = 0; r < list->model()->rowCount(); ++r) {
            out << list->model()->index(r, titleColumn).data().toString().trimmed();
        }
        return out;
    }
};

TEST_F(ExplorerDatesJourney, AYearStandsJustBeforeTheDatesOfItsYear) {
    ASSERT_TRUE(db().openTables({TableId::Tunarium, TableId::Album}));
    addSong(1, QStringLiteral("Summer 1999"), dayNumberFromYmd(1999, 6, 1));
    addSong(2, QStringLiteral("Year 1999"), 1999);
    addSong(3, QStringLiteral("New Year 1999"), dayNumberFromYmd(1999, 1, 1));
    addSong(4, QStringLiteral("Eve 1998"), dayNumberFromYmd(1998, 12, 31));
    addSong(5, QStringLiteral("Year 1965"), 1965);
    addSong(6, QStringLiteral("Spring 2000"), dayNumberFromYmd(2000, 3, 1));
    addSong(7, QStringLiteral("Undated"), 0);
    db().closeTables({TableId::Tunarium, TableId::Album});

    choose(FrameCommand::BrowseSongs);
    auto* songs = waitFor<XploreSongsWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    QTableView* list = songs->list();
    int title = -1;
    for (int c = 0; c < list->model()->columnCount(); ++c) {
        if (list->model()->headerData(c, Qt::Horizontal).toString().endsWith(QStringLiteral("Title"))) {
            title = c;
        }
    }
    ASSERT_GE(title, 0);
    const int released = clickHeader(list, QStringLiteral("Release Date"));
    ASSERT_GE(released, 0);
    EXPECT_EQ(list->model()->headerData(released, Qt::Horizontal).toString(), ">Release Date");
    EXPECT_EQ(titles(list, title), QStringList({"Undated", "Year 1965", "Eve 1998", "Year 1999",
                                                "New Year 1999", "Summer 1999", "Spring 2000"}));
    const int year = static_cast<int>(titles(list, title).indexOf(QStringLiteral("Year 1999")));
    EXPECT_EQ(list->model()->index(year, released).data().toString().trimmed(), "1999");

    clickHeader(list, QStringLiteral("Release Date"));
    EXPECT_EQ(list->model()->headerData(released, Qt::Horizontal).toString(), "<Release Date");
    EXPECT_EQ(titles(list, title), QStringList({"Spring 2000", "Summer 1999", "New Year 1999", "Year 1999",
                                                "Eve 1998", "Year 1965", "Undated"}));
    songs->close();
    settle();
}

} // namespace
