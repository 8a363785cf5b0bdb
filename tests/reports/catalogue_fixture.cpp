// The reports' test collection and their pages read back.
#include "catalogue_fixture.h"

#include "data/date_time.h"
#include "data/pictures.h"
#include "reports/report_bands.h"

#include <QRegularExpression>

namespace tunarium::test {

namespace {

QPageLayout letter() {
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36),
                       QPageLayout::Point);
}

SongRecord song(qint64 id, const char* artist, const char* title, qint64 category, qint64 bpm) {
    SongRecord s;
    s.id = id;
    s.artist = QString::fromUtf8(artist);
    s.title = QString::fromUtf8(title);
    s.categoryId = category;
    s.beatsPerMinute = bpm;
    s.media = QStringLiteral("CD");
    return s;
}

} // namespace

QStringList PrintedReport::firstColumn() const {
    QStringList cells;
    for (const QStringList& line : lines) {
        cells << line.value(0);
    }
    return cells;
}

QStringList PrintedReport::column(const QString& head) const {
    const qsizetype c = heads.indexOf(head);
    QStringList cells;
    for (const QStringList& line : lines) {
        cells << (c < 0 ? QString() : line.value(c));
    }
    return cells;
}

void CatalogueFixture::SetUp() {
    setPictureLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const TableDef& t : allTables()) {
        ASSERT_TRUE(db.openTable(t.id));
    }
}

void CatalogueFixture::addSong(SongRecord s) {
    ASSERT_TRUE(db.store().insert(s).ok());
}

void CatalogueFixture::addSongs(int count, const QString& artist) {
    Transaction tx(db.store());
    for (int i = 1; i <= count; ++i) {
        SongRecord s = song(1000 + i, "", "", 1, 0);
        s.artist = artist;
        s.title = QStringLiteral("Song %1").arg(i, 4, 10, QLatin1Char('0'));
        ASSERT_TRUE(db.store().insert(s).ok());
    }
    ASSERT_TRUE(tx.commit().ok());
}

void CatalogueFixture::seed() {
    for (auto [id, name] : {std::pair{1, "Rock"}, {2, "Jazz"}, {3, "Empty"}}) {
        CategoryRecord c{id, QString::fromLatin1(name), {}};
        ASSERT_TRUE(db.store().insert(c).ok());
    }
    SongRecord abba = song(1, "Abba", "Waterloo", 1, 147);
    abba.album = QStringLiteral("Waterloo");
    abba.fileNumber = QStringLiteral("A1");
    abba.chartNumber = 5;
    abba.trackNumber = 1;
    abba.time = 16501; // 0:02:45
    abba.userDefinedKeyField = QStringLiteral("k1");
    abba.releaseDate = 1974;
    abba.albumId = 1;
    addSong(abba);
    SongRecord abc = song(2, "ABC", "Poison Arrow", 1, 85);
    abc.mix = QStringLiteral("12\" Mix");
    abc.album = QStringLiteral("Lexicon");
    abc.media = QStringLiteral("LP");
    abc.fileNumber = QStringLiteral("B2");
    abc.trackNumber = 2;
    abc.userDefinedKeyField = QStringLiteral("k2");
    abc.releaseDate = dayNumberFromYmd(1982, 2, 1);
    addSong(abc);
    SongRecord beatles = song(3, "Beatles", "Help!", 2, 95);
    beatles.album = QStringLiteral("Help!");
    beatles.fileNumber = QStringLiteral("C3");
    beatles.chartNumber = 1;
    beatles.trackNumber = 7;
    beatles.time = 13801; // 0:02:18
    addSong(beatles);
    addSong(song(4, "Cher (*)", "Believe", 1, 133));
    addSong(song(5, "Doors", "Riders (Skips)", 2, 8));
    SongRecord eagles = song(6, "Eagles", "Hotel California", 2, 80);
    eagles.skips = 1;
    addSong(eagles);
    SongRecord abbey = song(7, "abbey road band", "Something", 1, 800);
    abbey.doNotPlay = 1;
    addSong(abbey);
    addSong(song(8, "Åbo Band", "Sauna", 1, 88));
    SongRecord honey = song(9, "Abba", "Honey Honey", 1, 120);
    honey.album = QStringLiteral("Waterloo");
    honey.trackNumber = 2;
    honey.albumId = 1;
    addSong(honey);
    // A song of the album whose album text differs: it is the album's by its number.
    SongRecord bonus = song(10, "Abba", "Ring Ring", 1, 0);
    bonus.album = QStringLiteral("Bonus Tracks");
    bonus.albumId = 1;
    addSong(bonus);
    addSong(song(11, "Zappa", "Peaches", 1, 88));

    AlbumRecord waterloo;
    waterloo.albumId = 1;
    waterloo.artist = QStringLiteral("Abba");
    waterloo.album = QStringLiteral("Waterloo");
    waterloo.media = QStringLiteral("CD");
    waterloo.fileNumber = QStringLiteral("F1");
    waterloo.categoryId = 1;
    waterloo.associatedWavFile = QStringLiteral("waterloo.wav");
    ASSERT_TRUE(db.store().insert(waterloo).ok());
    AlbumRecord help;
    help.albumId = 2;
    help.artist = QStringLiteral("Beatles");
    help.album = QStringLiteral("Help!");
    help.media = QStringLiteral("LP");
    help.fileNumber = QStringLiteral("F2");
    help.categoryId = 2;
    ASSERT_TRUE(db.store().insert(help).ok());
    AlbumRecord lexicon;
    lexicon.albumId = 3;
    lexicon.artist = QStringLiteral("ABC");
    lexicon.album = QStringLiteral("Lexicon");
    lexicon.media = QStringLiteral("CD");
    lexicon.fileNumber = QStringLiteral("F0");
    lexicon.categoryId = 1;
    ASSERT_TRUE(db.store().insert(lexicon).ok());

    PlaylistRecord friday;
    friday.playlistId = 1;
    friday.playlistDescription = QStringLiteral("Friday Night");
    friday.lastEditDate = dayNumberFromYmd(2024, 3, 15);
    ASSERT_TRUE(db.store().insert(friday).ok());
    const std::pair<qint64, qint64> entries[] = {{1, 3}, {2, 1}, {3, 99}};
    for (const auto& [seq, songId] : entries) {
        PlaylistEntryRecord e;
        e.playlistId = 1;
        e.playlistSeq = seq;
        e.id = songId;
        ASSERT_TRUE(db.store().insert(e).ok());
    }
}

PrintedReport CatalogueFixture::print(const QString& name, ReportRequest request, bool previewing) {
    PrintedReport r;
    const ReportEntry* decl = findReport(name);
    EXPECT_NE(decl, nullptr) << name.toStdString();
    if (!decl) {
        return r;
    }
    m_run.reset();
    m_run = std::make_unique<ReportRun>(db, settings, prompter, *decl, request);
    if (!m_run->open()) {
        return r;
    }
    const QPageLayout layout = m_run->pageLayout(letter());
    m_queue = std::make_unique<PageQueue>(layout);
    QueuePageSink sink(*m_queue);
    std::unique_ptr<ReportProcess> process = m_run->makeProcess(sink, layout, previewing);
    runToEnd(*process);
    m_run->tellOutcome(*process, previewing);
    r.completed = process->completed();
    r.kept = process->outputKept();
    r.pages = m_queue->count();

    const ReportBands bands(process->definition(), layout, QDateTime::currentDateTime());
    const int columns = static_cast<int>(process->definition().columns.size());
    const int groupSize = FittedFont(process->definition().fonts.group).font().pixelSize();
    auto columnAt = [&](const DrawnText& t) {
        for (int c = columns - 1; c >= 0; --c) {
            if (t.at.x() >= bands.columnLeft(c) - 0.5) {
                return c;
            }
        }
        return 0;
    };
    static const QRegularExpression pageNumber(QStringLiteral("^Page\\s+\\d+"));
    for (int p = 0; p < r.pages; ++p) {
        const DrawnPage page = drawnPage(*m_queue, p);
        double footerY = 1e9;
        for (const DrawnText& t : page.texts) {
            if (pageNumber.match(t.text).hasMatch()) {
                r.footers << t.text.simplified();
                footerY = t.at.y();
            }
        }
        const DrawnText* title = nullptr;
        for (const DrawnText& t : page.texts) {
            if (!title || t.font.pixelSize() > title->font.pixelSize()) {
                title = &t;
            }
        }
        const double rule = bands.bodyTop();
        QMap<int, QStringList> rows; // by baseline, in report units
        QStringList heads;
        QStringList headerLines;
        for (const DrawnText& t : page.texts) {
            if (title && std::abs(t.at.y() - title->at.y()) < 0.5) {
                continue; // the title row: the title, the date and time
            }
            if (t.at.y() < rule) {
                (t.font.bold() ? heads : headerLines) << t.text;
            } else if (t.at.y() < footerY) {
                if (t.font.bold()) {
                    (t.font.pixelSize() == groupSize ? r.groups : r.closing) << t.text.trimmed();
                    continue;
                }
                QStringList& row = rows[qRound(t.at.y() * 2)];
                row.resize(columns);
                row[columnAt(t)] = t.text.trimmed();
            }
        }
        if (p == 0) {
            r.title = title ? title->text : QString();
            r.heads = heads;
            r.headerLines = headerLines;
        }
        for (const QStringList& row : rows) {
            r.lines << row;
        }
    }
    return r;
}

} // namespace tunarium::test
