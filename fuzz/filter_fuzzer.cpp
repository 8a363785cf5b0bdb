// Filter expressions. Any text either compiles or gives an error at a place inside the text. A
// compiled condition:
//   - holds no value of the text: its SQL text has no string literal but the compiler's own blank
//     texts, and is the same when every string literal of the filter says something else (in
//     particular something hostile to SQL); numbers and names keep their meaning, so they stay;
//   - has one bound value per placeholder;
//   - runs: a page read through it in the collection succeeds, for texts as long as the program
//     takes (a query or a browse filter holds at most 1024 characters; SQLite's own limits on
//     the depth of an expression are not reached by texts that short).
//
// Input: the filter text. It is compiled over the songs table and, when its first name carries
// another table's prefix (ALB:Album), over that table too.
#include "data/filter_expression.h"
#include "data/filter_lexer.h"
#include "data/records.h"
#include "data/store_sqlite.h"
#include "fuzz_support.h"

using namespace tunarium;
using namespace tunarium::fuzz;

namespace {

const QString kHostile = QStringLiteral("x'); DELETE FROM \"Tunarium\"; -- ? :a @b $c");

// Statements prepared for conditions stay cached in the store: it is opened afresh now and then.
constexpr int kRunsPerOpen = 4000;
constexpr qsizetype kLongestFilter = 1024;

Store& store() {
    static SqliteStore instance;
    return instance;
}

void openStore() {
    store().close();
    check(store().open(scratchDir()).ok(), "the collection opens");
    for (const TableDef& t : allTables()) {
        check(store().openTable(t.id).ok(), "a table opens", t.label);
    }
}

template <class T> void add(T record) {
    check(store().insert(record).ok(), "a record is added");
}

void fillCollection() {
    openStore();
    CategoryRecord category;
    category.categoryId = 1;
    category.category = QStringLiteral("Électro");
    add(category);
    MediaRecord media;
    media.media = QStringLiteral("CD");
    add(media);
    AlbumRecord album;
    album.albumId = 10;
    album.album = QStringLiteral("Post");
    album.categoryId = 1;
    add(album);
    SongRecord song;
    song.id = 1;
    song.artist = QStringLiteral("Björk");
    song.title = QStringLiteral("Army of Me  ");
    song.media = QStringLiteral("cd");
    song.categoryId = 1;
    song.albumId = 10;
    song.beatsPerMinute = 95;
    song.time = 22501;
    song.notes = kHostile;
    add(song);
    song.id = 2;
    song.artist = QStringLiteral("O'Brien");
    song.categoryId = 7;
    song.albumId = 0;
    song.beatsPerMinute = 0;
    add(song);
    PlaylistRecord playlist;
    playlist.playlistId = 1;
    playlist.playlistDescription = QStringLiteral("Friday");
    add(playlist);
    PlaylistEntryRecord entry;
    entry.playlistId = 1;
    entry.playlistSeq = 1;
    entry.id = 1;
    add(entry);
    WizardTrackRecord track;
    track.instance = 3;
    track.track = 1;
    track.title = QStringLiteral("Track 1");
    add(track);
}

const FilterBindings& bindings() {
    static const FilterBindings names = {
        {QStringLiteral("ThreadInstance"), 3},
        {QStringLiteral("GLO:Side"), 1},
        {QStringLiteral("BRW1::Sort3:Reset:MED:Media"), QStringLiteral("CD")},
        {QStringLiteral("BRW1::Sort4:Reset:CAT:CategoryID"), 1},
        {QStringLiteral("Hostile"), kHostile},
    };
    return names;
}

// Where a string literal starting at `start` ends (one past its closing quote).
qsizetype literalEnd(const QString& text, qsizetype start) {
    const QChar quote = text[start];
    qsizetype i = start + 1;
    while (i < text.size()) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return text.size();
}

// The text with every string literal replaced by the hostile one, keeping whether it ended in a
// blank (the compiler clips such texts, which it may show in the SQL).
QString withOtherLiterals(const QString& text, const filter::Tokens& tokens) {
    QString out;
    qsizetype copied = 0;
    for (const filter::Token& token : tokens.tokens) {
        if (token.kind != filter::TokenKind::Text) {
            continue;
        }
        const QChar quote = text[token.position];
        QString replacement = kHostile + (token.text.endsWith(u' ') ? QStringLiteral(" ") : QString());
        replacement.replace(quote, QString(2, quote));
        out += QStringView(text).mid(copied, token.position - copied);
        out += quote + replacement + quote;
        copied = literalEnd(text, token.position);
    }
    return out + text.mid(copied);
}

// The SQL text's own string literals, and its placeholders.
void scanSql(const QString& sql, QStringList& literals, int& placeholders) {
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'?') {
            ++placeholders;
        } else if (c == u'"' || c == u'\'') {
            const qsizetype end = literalEnd(sql, i);
            if (c == u'\'') {
                literals << sql.mid(i + 1, end - i - 2);
            }
            i = end - 1;
        }
    }
}

void checkCompiled(const QString& text, const TableDef& base) {
    const CompiledFilter compiled = compileFilter(text, base.id, bindings());
    if (!compiled.ok()) {
        check(compiled.error.position <= text.size() && !compiled.error.reason.isEmpty(),
              "an error names a reason and a place in the text", text);
        check(compiled.condition.isEmpty(), "a text with an error gives no condition", text);
        return;
    }
    if (text.trimmed().isEmpty()) {
        check(compiled.condition.isEmpty(), "a blank text is no filter", text);
        return;
    }
    const QString& sql = compiled.condition.sql;
    QStringList literals;
    int placeholders = 0;
    scanSql(sql, literals, placeholders);
    for (const QString& literal : literals) {
        check(literal.isEmpty() || literal == u" ", "the SQL text holds no value of the filter", sql);
    }
    check(!sql.contains(u';') && !sql.contains(QStringLiteral("--")), "the SQL text is one expression", sql);
    check(placeholders == compiled.condition.binds.size(), "one bound value per placeholder", sql);

    const filter::Tokens tokens = filter::tokenize(text);
    const QString other = withOtherLiterals(text, tokens);
    const CompiledFilter otherCompiled = compileFilter(other, base.id, bindings());
    check(otherCompiled.ok() && otherCompiled.condition.sql == sql &&
              otherCompiled.condition.binds.size() == compiled.condition.binds.size(),
          "the SQL text does not depend on the filter's texts", other + QStringLiteral(" => ") + sql);

    if (text.size() > kLongestFilter) {
        return;
    }
    QVector<Row> rows;
    const StoreError read =
        store().read(base.id, 0, {}, Direction::Forward, true, 5, rows, compiled.condition);
    check(read.ok(), "a compiled filter runs",
          text + QStringLiteral(" => ") + sql + QStringLiteral(" : ") + read.describe());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fillCollection();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int runs = 0;
    if (++runs % kRunsPerOpen == 0) {
        openStore();
    }
    const QString text = textOf(data, size);
    const TableDef& songs = tableDef(TableId::Tunarium);
    checkCompiled(text, songs);
    const qsizetype colon = text.indexOf(u':');
    if (colon > 0) {
        qsizetype start = colon;
        while (start > 0 && (text[start - 1].isLetterOrNumber() || text[start - 1] == u'_')) {
            --start;
        }
        const TableDef* other = findTable(QStringView(text).mid(start, colon - start));
        if (other && other->id != songs.id) {
            checkCompiled(text, *other);
        }
    }
    return 0;
}
