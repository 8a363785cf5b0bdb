// A DJ looking for the next record: songs of every musical key and many tempos, searched in the
// songs browse by key (exact and harmonically compatible) and by tempo near a given one (with half
// and double tempo), each answer checked against the wheel and the 6 % band computed here; then a
// song's form with its audio file gone, whose Play says so, and whose key typed as "Am" is kept
// as 8A.
#include "journey_fixture.h"

#include "catalogue/ui/picture_edit.h"
#include "catalogue/ui/song_file_panel.h"
#include "catalogue/ui/song_form_window.h"
#include "catalogue/ui/songs_browse_window.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSet>

#include <cmath>
#include <functional>

using namespace tunarium;

namespace {

class MixingJourney : public test::JourneyTest, public ::testing::WithParamInterface<test::Backend> {
protected:
    QString collectionLocation() override {
        return GetParam() == test::Backend::Server ? serverCollection() : dir.dir();
    }
    void type(SongsBrowseWindow* songs, const QString& text) {
        QLineEdit* field = songs->searchBox()->field();
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        songs->searchBox()->searchNow();
        settle();
    }
    // The artists the list shows (every song's artist is its number).
    static QSet<int> shownSongs(SongsBrowseWindow* songs) {
        QSet<int> out;
        for (int row = 0; row < songs->engine().rowCount(); ++row) {
            out.insert(songs->engine().cellText(row, 0).mid(5).toInt());
        }
        return out;
    }
};

struct Song {
    int number;
    QString key;
    qint64 bpm;
};

TEST_P(MixingJourney, KeyAndTempoSearchesFindTheSongsThatMix) {
    // 60 songs: the 24 keys, some twice, a few without a key; tempos from 55 to 270.
    QVector<Song> made;
    for (int n = 1; n <= 60; ++n) {
        const int k = (n * 7) % 28; // 0..23 a key, 24..27 none
        const QString key = k < 24 ? QString::number(k / 2 + 1) + (k % 2 ? "B" : "A") : QString();
        made.push_back({n, key, 55 + (n * 37) % 216});
    }
    ASSERT_TRUE(db().openTable(TableId::Tunarium));
    for (const Song& s : made) {
        SongRecord r;
        r.id = s.number;
        r.artist = QStringLiteral("Song %1").arg(s.number, 2, 10, QChar('0'));
        r.title = QStringLiteral("Title %1").arg(s.number);
        r.musicalKey = s.key;
        r.beatsPerMinute = s.bpm;
        ASSERT_TRUE(db().store().insert(r).ok());
    }
    db().closeTable(TableId::Tunarium);

    choose(FrameCommand::BrowseSongs);
    SongsBrowseWindow* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    // A page long enough for every song: each answer is seen whole.
    songs->engine().setLineCount(100);

    const auto expect = [&](const QString& search, const std::function<bool(const Song&)>& finds) {
        SCOPED_TRACE(search.toStdString());
        type(songs, search);
        ASSERT_EQ(songs->searchBox()->problem(), QString());
        QSet<int> expected;
        for (const Song& s : made) {
            if (finds(s)) {
                expected.insert(s.number);
            }
        }
        ASSERT_FALSE(expected.isEmpty());
        // A search the keys cannot narrow is walked aside: its page comes when the walk ends.
        (void)QTest::qWaitFor([&] { return shownSongs(songs) == expected; }, 5000);
        EXPECT_EQ(shownSongs(songs), expected);
        const QString counted = QStringLiteral("(%1 found)").arg(expected.size());
        (void)QTest::qWaitFor([&] { return songs->windowTitle().endsWith(counted); }, 5000);
        EXPECT_TRUE(songs->windowTitle().endsWith(counted)) << qPrintable(songs->windowTitle());
    };
    // The wheel of 8A: itself, its relative major, and its neighbours on the minor side.
    expect("key:8A", [](const Song& s) { return s.key == "8A"; });
    expect("key:Am", [](const Song& s) { return s.key == "8A"; });
    expect("key:~8A", [](const Song& s) { return QStringList{"8A", "8B", "7A", "9A"}.contains(s.key); });
    // 12 and 1 are neighbours.
    expect("key:~12B", [](const Song& s) { return QStringList{"12B", "12A", "11B", "1B"}.contains(s.key); });
    expect("-key:~1m", [](const Song& s) { return !QStringList{"8A", "8B", "7A", "9A"}.contains(s.key); });
    const auto near = [](qint64 bpm, double tempo) {
        for (double t : {tempo, tempo / 2, tempo * 2}) {
            if (std::abs(double(bpm) - t) <= 0.06 * t) {
                return true;
            }
        }
        return false;
    };
    expect("bpm:~124", [&](const Song& s) { return near(s.bpm, 124); });
    expect("bpm:~90", [&](const Song& s) { return near(s.bpm, 90); });
    expect("bpm:~124 key:~8A", [&](const Song& s) {
        return near(s.bpm, 124) && QStringList{"8A", "8B", "7A", "9A"}.contains(s.key);
    });
    // The songs list has the key column.
    QStringList headers;
    for (int c = 0; c < songs->engine().columnCount(); ++c) {
        headers << songs->engine().headerText(c);
    }
    const qsizetype keyColumn = headers.indexOf("Key");
    ASSERT_GE(keyColumn, 0) << headers.join(", ").toStdString();
    type(songs, "key:8A");
    EXPECT_EQ(songs->engine().cellText(0, static_cast<int>(keyColumn)), "8A");
}

// A song whose file is gone: the form shows the path, and Play and Open Containing Folder say
// what is wrong instead of doing nothing. The key typed as a name is kept in Camelot notation.
TEST_P(MixingJourney, TheSongFormTellsOfAMissingFileAndKeepsKeysAsCamelot) {
    const QString gone = dir.path("music/gone/Song.flac");
    ASSERT_TRUE(db().openTable(TableId::Tunarium));
    SongRecord r;
    r.id = 1;
    r.artist = "Artist";
    r.title = "Title";
    r.filePath = gone;
    r.fileMissing = 1;
    ASSERT_TRUE(db().store().insert(r).ok());
    db().closeTable(TableId::Tunarium);

    choose(FrameCommand::BrowseSongs);
    SongsBrowseWindow* songs = waitFor<SongsBrowseWindow>();
    ASSERT_NE(songs, nullptr) << messagesSoFar();
    songs->engine().selectRow(0);
    songs->button(BrowseAction::Change)->click();
    settle();
    auto* form = waitFor<SongFormWindow>();
    ASSERT_NE(form, nullptr) << messagesSoFar();
    SongFilePanel* file = form->filePanel();
    EXPECT_EQ(file->pathEdit()->text(), gone);
    EXPECT_TRUE(file->pathEdit()->isReadOnly());

    file->playButton()->click();
    settle();
    ASSERT_EQ(prompter.messages.size(), 1) << messagesSoFar();
    EXPECT_EQ(prompter.messages[0].text, "Could not play " + gone + "\nThe file is missing: it is no longer where the song says.");
    EXPECT_EQ(file->player(), nullptr) << "no player is made for a file that is not there";
    file->folderButton()->click();
    settle();
    ASSERT_EQ(prompter.messages.size(), 2) << messagesSoFar();
    EXPECT_TRUE(prompter.messages[1].text.startsWith("The folder ")) << messagesSoFar();
    EXPECT_TRUE(prompter.messages[1].text.endsWith(" is missing.")) << messagesSoFar();

    PictureEdit* key = nullptr;
    for (PictureEdit* edit : form->findChildren<PictureEdit*>()) {
        if (edit->toolTip().startsWith("The musical key")) {
            key = edit;
        }
    }
    ASSERT_NE(key, nullptr);
    key->setText("Am");
    form->accept();
    ASSERT_TRUE(waitGone<SongFormWindow>()) << messagesSoFar();
    const std::vector<SongRecord> saved = all<SongRecord>();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].musicalKey, "8A");
    EXPECT_EQ(saved[0].filePath, gone) << "the form keeps the file it does not edit";
}

INSTANTIATE_TEST_SUITE_P(Backends, MixingJourney, ::testing::Values(test::Backend::File, test::Backend::Server),
                         test::backendName);

} // namespace
