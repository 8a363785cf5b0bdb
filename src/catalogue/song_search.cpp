// The search box's syntax and its plan.
#include "catalogue/song_search.h"

#include "catalogue/musical_key.h"

#include "data/date_time.h"
#include "data/dictionary_tables.h"
#include "data/filter_expression.h"
#include "data/filter_query_text.h"
#include "data/fold_key.h"
#include "data/store_search.h"

#include <QElapsedTimer>
#include <QLocale>

#include <algorithm>
#include <optional>

namespace tunarium {

namespace {

enum class TermKind { Words, Text, Number, Year, Key };

struct SearchField {
    const char* name;
    TermKind kind;
    const char* field; // the filter's field name; none for plain words
};

const SearchField kFields[] = {
    {"artist", TermKind::Text, "TUN:Artist"},        {"title", TermKind::Text, "TUN:Title"},
    {"album", TermKind::Text, "TUN:Album"},          {"mix", TermKind::Text, "TUN:Mix"},
    {"category", TermKind::Text, "CAT:Category"},    {"media", TermKind::Text, "TUN:Media"},
    {"bpm", TermKind::Number, "TUN:BeatsPerMinute"}, {"year", TermKind::Year, "TUN:ReleaseDate"},
    {"rating", TermKind::Number, "TUN:Rating"},      {"key", TermKind::Key, "TUN:MusicalKey"},
    {"chart", TermKind::Number, "TUN:ChartNumber"},
};

// The four fields a plain word is looked for in, as the search index holds them.
const char* const kWordFields[] = {"TUN:Artist", "TUN:Title", "TUN:Album", "TUN:Mix"};

const SearchField* findField(QStringView name) {
    for (const SearchField& f : kFields) {
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) {
            return &f;
        }
    }
    return nullptr;
}

QString fieldNames() {
    QStringList names;
    for (const SearchField& f : kFields) {
        names << QLatin1String(f.name) + u':';
    }
    return names.join(QStringLiteral(", "));
}

bool isNamePart(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// An inclusive range of whole numbers; a missing end is open.
struct NumberRange {
    std::optional<qint64> low;
    std::optional<qint64> high;
};

std::optional<qint64> wholeNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 9) {
        return std::nullopt;
    }
    for (QChar c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
    }
    return text.toLongLong();
}

// "120", "120-128", ">=7", ">7", "<=7", "<7", "=7".
std::optional<NumberRange> numberRange(QStringView text) {
    struct Comparison {
        const char* op;
        bool low;
        qint64 shift;
    };
    for (const Comparison& c :
         {Comparison{">=", true, 0}, Comparison{"<=", false, 0}, Comparison{">", true, 1},
          Comparison{"<", false, -1}, Comparison{"=", true, 0}}) {
        const auto op = QLatin1String(c.op);
        if (!text.startsWith(op)) {
            continue;
        }
        const std::optional<qint64> n = wholeNumber(text.mid(op.size()));
        if (!n) {
            return std::nullopt;
        }
        if (op == u"=") {
            return NumberRange{n, n};
        }
        return c.low ? NumberRange{*n + c.shift, std::nullopt} : NumberRange{std::nullopt, *n + c.shift};
    }
    const qsizetype dash = text.indexOf(u'-');
    if (dash < 0) {
        const std::optional<qint64> n = wholeNumber(text);
        return n ? std::optional(NumberRange{n, n}) : std::nullopt;
    }
    const std::optional<qint64> a = wholeNumber(text.left(dash));
    const std::optional<qint64> b = wholeNumber(text.mid(dash + 1));
    if (!a || !b) {
        return std::nullopt;
    }
    return NumberRange{std::min(*a, *b), std::max(*a, *b)};
}

QString between(const QString& field, qint64 low, qint64 high) {
    return QStringLiteral("%1 >= %2 AND %1 <= %3").arg(field).arg(low).arg(high);
}

QString numberCondition(const SearchField& f, const NumberRange& r) {
    const QString field = QLatin1String(f.field);
    if (f.kind == TermKind::Number) {
        QStringList parts;
        if (r.low) {
            parts << QStringLiteral("%1 >= %2").arg(field).arg(*r.low);
        }
        if (r.high) {
            parts << QStringLiteral("%1 <= %2").arg(field).arg(*r.high);
        }
        return parts.join(QStringLiteral(" AND "));
    }
    // A release date holds a bare year up to kBareYearLimit, else a day number.
    const qint64 low = std::max<qint64>(1, r.low.value_or(1));
    const qint64 high = std::min<qint64>(9999, r.high.value_or(9999));
    if (low > high) {
        return QStringLiteral("0");
    }
    QStringList forms;
    if (low <= kBareYearLimit) {
        forms << u'(' + between(field, low, std::min(high, kBareYearLimit)) + u')';
    }
    forms << QStringLiteral("(%1 AND %2 > %3)")
                 .arg(between(field, dayNumberFromYmd(int(low), 1, 1), dayNumberFromYmd(int(high), 12, 31)),
                      field)
                 .arg(kBareYearLimit);
    return forms.join(QStringLiteral(" OR "));
}

// "key:8A" that key (in any spelling: "key:Am"), "key:~8A" the keys that mix with it.
std::optional<QString> keyCondition(const SearchField& f, QStringView typed) {
    const bool compatible = typed.startsWith(u'~');
    const std::optional<CamelotKey> key = readMusicalKey(compatible ? typed.mid(1) : typed);
    if (!key) {
        return std::nullopt;
    }
    QStringList keys;
    for (const CamelotKey& k : compatible ? compatibleKeys(*key) : QList<CamelotKey>{*key}) {
        keys << queryElementText(QLatin1String(f.field), QueryOperator::IsEqualTo, filterLiteral(k.text()), false);
    }
    return keys.join(QStringLiteral(" OR "));
}

// "bpm:~124": within 6 % of the tempo, of half of it or of twice it, as a DJ mixes.
std::optional<QString> nearTempoCondition(const SearchField& f, QStringView typed) {
    const std::optional<qint64> tempo = wholeNumber(typed);
    if (!tempo || *tempo <= 0) {
        return std::nullopt;
    }
    QStringList bands;
    const std::pair<qint64, qint64> tempos[] = {{1, 2}, {1, 1}, {2, 1}}; // half, as typed, double
    for (const auto& [times, per] : tempos) {
        // The whole tempos t with |t - x| <= 6 % of x, x = tempo * times / per.
        const qint64 low = (*tempo * times * 94 + per * 100 - 1) / (per * 100);
        const qint64 high = *tempo * times * 106 / (per * 100);
        if (low <= high) {
            bands << u'(' + between(QLatin1String(f.field), low, high) + u')';
        }
    }
    return bands.join(QStringLiteral(" OR "));
}

// The range as its key holds it: a release date's years as the order values of their dates and
// bare years (kept in the key's order column), an empty range as low above high.
SongSearch::Range keyRange(const SearchField& f, const NumberRange& r) {
    constexpr qint64 kUnbounded = qint64(1) << 62;
    if (f.kind == TermKind::Number) {
        return {QLatin1String(f.field), r.low.value_or(-kUnbounded), r.high.value_or(kUnbounded)};
    }
    const qint64 low = std::max<qint64>(1, r.low.value_or(1));
    const qint64 high = std::min<qint64>(9999, r.high.value_or(9999));
    if (low > high) {
        return {QLatin1String(f.field), 1, 0};
    }
    // A bare year opens its year; a day number's order value is twice its count of days.
    const auto dayOrder = [](qint64 day) { return 2 * (day + kOrdinalOfDayZero); };
    const qint64 first = low <= kBareYearLimit ? releaseOrderValue(low) : dayOrder(dayNumberFromYmd(int(low), 1, 1));
    return {QLatin1String(f.field), first, dayOrder(dayNumberFromYmd(int(high), 12, 31))};
}

QString containsCondition(const char* field, const QString& value) {
    return queryElementText(QLatin1String(field), QueryOperator::Contains, filterLiteral(value), false);
}

// Reads the terms of the text one by one.
class SearchReader {
public:
    explicit SearchReader(const QString& text) : m_text(text) {}

    SongSearch read() {
        QStringList conditions;
        while (skipBlanks()) {
            if (conditions.size() >= kSongSearchTerms) {
                return failed(QStringLiteral("A search can have at most %1 terms.").arg(kSongSearchTerms));
            }
            const bool negated = m_text[m_at] == u'-';
            m_at += negated ? 1 : 0;
            const std::optional<QString> condition = term(negated);
            if (!m_search.ok()) {
                return m_search;
            }
            if (condition && !condition->isEmpty()) {
                conditions << (negated ? QStringLiteral("NOT (%1)") : QStringLiteral("(%1)")).arg(*condition);
                (negated ? m_denied : m_held) << *condition;
            }
        }
        for (const QString& denied : m_denied) {
            m_search.contradicts = m_search.contradicts || m_held.contains(denied);
        }
        m_search.filterText = conditions.join(QStringLiteral(" AND "));
        return m_search;
    }

private:
    bool skipBlanks() {
        while (m_at < m_text.size() && m_text[m_at].isSpace()) {
            ++m_at;
        }
        return m_at < m_text.size();
    }

    SongSearch failed(const QString& reason) {
        m_search = {};
        m_search.error = reason;
        return m_search;
    }

    // A quoted text (the quote at m_at) or a bare one up to the next blank.
    std::optional<QString> value() {
        if (m_at < m_text.size() && m_text[m_at] == u'"') {
            const qsizetype close = m_text.indexOf(u'"', m_at + 1);
            if (close < 0) {
                failed(QStringLiteral("A quote is not closed: add \" after the text."));
                return std::nullopt;
            }
            const QString quoted = m_text.mid(m_at + 1, close - m_at - 1);
            m_at = close + 1;
            return quoted;
        }
        const qsizetype start = m_at;
        while (m_at < m_text.size() && !m_text[m_at].isSpace()) {
            ++m_at;
        }
        return m_text.mid(start, m_at - start);
    }

    std::optional<QString> term(bool negated) {
        qsizetype name = m_at;
        while (name < m_text.size() && isNamePart(m_text[name])) {
            ++name;
        }
        const SearchField* field = nullptr;
        if (name > m_at && name < m_text.size() && m_text[name] == u':') {
            field = findField(QStringView(m_text).mid(m_at, name - m_at));
            if (!field) {
                failed(QStringLiteral("There is no field \"%1\": use %2 or put the text in quotes.")
                           .arg(m_text.mid(m_at, name - m_at), fieldNames()));
                return std::nullopt;
            }
            m_at = name + 1;
        }
        // "artist:=abba": the whole text, not a part of it ("category:=\"\"": none).
        const bool whole = field && field->kind == TermKind::Text && m_at < m_text.size() && m_text[m_at] == u'=';
        m_at += whole ? 1 : 0;
        const std::optional<QString> typed = value();
        if (whole && typed) {
            if (!negated && !typed->trimmed().isEmpty() && QLatin1String(field->field) != u"TUN:Media" &&
                QLatin1String(field->field) != u"CAT:Category") {
                m_search.required << caseFold(*typed);
            }
            return queryElementText(QLatin1String(field->field), QueryOperator::IsEqualTo, filterLiteral(*typed),
                                    false);
        }
        if (!typed || typed->trimmed().isEmpty()) {
            return QString();
        }
        if (!field) {
            return wordCondition(*typed, negated);
        }
        if (field->kind == TermKind::Text) {
            if (!negated && QLatin1String(field->field) != u"TUN:Media" &&
                QLatin1String(field->field) != u"CAT:Category") {
                m_search.required << caseFold(*typed);
            }
            return containsCondition(field->field, *typed);
        }
        if (field->kind == TermKind::Key) {
            const std::optional<QString> condition = keyCondition(*field, typed->trimmed());
            if (!condition) {
                failed(QStringLiteral("key: needs a musical key such as 8A, Am or 1m (~8A: the keys that mix "
                                      "with it), not \"%1\".")
                           .arg(*typed));
            }
            return condition;
        }
        if (QLatin1String(field->field) == u"TUN:BeatsPerMinute" && typed->startsWith(u'~')) {
            const std::optional<QString> condition = nearTempoCondition(*field, typed->trimmed().mid(1));
            if (!condition) {
                failed(QStringLiteral("%1:~ needs a number above 0, such as ~124, not \"%2\".")
                           .arg(QLatin1String(field->name), *typed));
            }
            return condition;
        }
        const std::optional<NumberRange> range = numberRange(typed->trimmed());
        if (!range) {
            failed(QStringLiteral("%1: needs a number, a range such as 120-128 or a comparison such as >=7, "
                                  "not \"%2\".")
                       .arg(QLatin1String(field->name), *typed));
            return std::nullopt;
        }
        if (!negated) {
            m_search.ranges << keyRange(*field, *range);
        }
        return numberCondition(*field, *range);
    }

    QString wordCondition(const QString& word, bool negated) {
        if (!negated) {
            m_search.required << caseFold(word);
        }
        QStringList anyField;
        for (const char* field : kWordFields) {
            anyField << u'(' + containsCondition(field, word) + u')';
        }
        return anyField.join(QStringLiteral(" OR "));
    }

    const QString& m_text;
    qsizetype m_at = 0;
    SongSearch m_search;
    QStringList m_held;   // the conditions of the terms
    QStringList m_denied; // and of the "not" terms
};

} // namespace

SongSearch parseSongSearch(const QString& text) {
    if (text.size() > kSongSearchWidth) {
        SongSearch tooLong;
        tooLong.error = QStringLiteral("The search is %1 characters long; it can have at most %2.")
                            .arg(text.size())
                            .arg(kSongSearchWidth);
        return tooLong;
    }
    // Control characters cannot be typed, only pasted; they end a word like a blank. Kept, a NUL or
    // the folded keys' separator would reach the filter's literals, which cannot hold them.
    QString readable = text;
    for (QChar& c : readable) {
        if (c.category() == QChar::Other_Control) {
            c = u' ';
        }
    }
    SongSearch search = SearchReader(readable).read();
    if (search.ok() && !search.isEmpty()) {
        const CompiledFilter compiled = compileFilter(search.filterText, TableId::Tunarium);
        if (!compiled.ok()) {
            search = {};
            search.error = compiled.error.reason;
        }
    }
    return search;
}

namespace {

// The key that leads with a field a range term reads; -1 for none.
int rangeKey(const QString& field) {
    if (field == u"TUN:BeatsPerMinute") {
        return tun::kKeyOrderBeatsPerMinute;
    }
    if (field == u"TUN:ReleaseDate") {
        return tun::kKeyOrderReleaseDate;
    }
    if (field == u"TUN:Rating") {
        return tun::kKeyOrderRating;
    }
    if (field == u"TUN:ChartNumber") {
        return tun::kSongsByChartNumber;
    }
    return -1;
}

// The fewest songs a range of the search holds, read through its key: the range as candidates, or
// nothing when every range holds more than the narrowing limit.
StoreError narrowByRanges(Store& store, const SongSearch& search, SqlCondition& candidates, qint64& count) {
    const TableDef& songs = tableDef(TableId::Tunarium);
    count = -1;
    for (const SongSearch::Range& range : search.ranges) {
        const int key = rangeKey(range.field);
        // The chart's key leaves the songs out that were never charted (place 0) and have no
        // artist or title: a range that holds place 0 is not read through it.
        if (key < 0 || (key == tun::kSongsByChartNumber && range.low <= 0 && range.high >= 0)) {
            continue;
        }
        qint64 held = 0;
        if (range.low <= range.high) {
            if (StoreError e = store.countUpTo(TableId::Tunarium,
                                               keyRangeCondition(songs, key, range.low, range.high),
                                               kSearchNarrowLimit + 1, held)) {
                return e;
            }
        }
        if (held <= kSearchNarrowLimit && (count < 0 || held < count)) {
            count = held;
            candidates = keyRangeCandidatesIn(store, key, range.low, range.high);
        }
    }
    return {};
}

} // namespace

SongSearchPlan planSongSearch(Store& store, const SongSearch& search, const SqlCondition& wizardFilter) {
    SongSearchPlan plan;
    const CompiledFilter compiled = compileFilter(search.filterText, TableId::Tunarium);
    const SqlCondition exact = allOf(compiled.condition, wizardFilter);
    plan.condition = exact;
    plan.exact = exact;
    if (search.contradicts) {
        plan.condition = compileFilter(QStringLiteral("0"), TableId::Tunarium).condition;
        plan.narrowed = true;
        plan.found = 0;
        return plan;
    }
    SqlCondition inRange;
    qint64 held = -1;
    if ((plan.error = narrowByRanges(store, search, inRange, held))) {
        return plan;
    }
    if (held >= 0) {
        plan.condition = allOf(inRange, exact);
        plan.narrowed = true;
        plan.found = held > 0 ? -1 : 0;
        return plan;
    }
    const TableDef& songs = tableDef(TableId::Tunarium);
    QStringList matches;
    for (const QString& word : search.required) {
        if (word.toStdU32String().size() >= 3) {
            matches << store.searchWordMatch(word);
            continue;
        }
        // A word of one or two characters is held by the songs that hold a piece beginning with it.
        QStringList pieces;
        bool common = false;
        plan.error = store.searchPiecesStartingWith(TableId::Tunarium, word, kSearchShortPiecesLimit,
                                                    kSearchWalkLimit, pieces, common);
        if (plan.error) {
            return plan;
        }
        if (common) {
            continue;
        }
        if (pieces.isEmpty()) {
            // No song in the index holds it: only those waiting for the index may.
            plan.condition = allOf(waitingCandidates(songs), exact);
            plan.narrowed = true;
            return plan;
        }
        matches << searchMatchAnyText(pieces);
    }
    const QString match = searchMatchAll(matches);
    if (match.isEmpty()) {
        return plan;
    }
    // Counting stops past the narrowing limit; how far through the songs it got tells how common
    // the candidates are beyond it.
    SearchSample sample;
    plan.error = store.sampleSearchCandidates(TableId::Tunarium, match, kSearchNarrowLimit + 1, sample);
    if (plan.error) {
        return plan;
    }
    const qint64 candidates = sample.estimated(kSearchNarrowLimit + 1);
    if (candidates > kSearchWalkLimit) {
        return plan;
    }
    if (candidates > kSearchNarrowLimit) {
        plan.condition = allOf(searchCandidatesIn(store, match, true), exact);
        return plan;
    }
    plan.condition = allOf(searchCandidatesIn(store, match, false), exact);
    plan.narrowed = true;
    plan.found = candidates > 0 ? -1 : 0;
    return plan;
}

SongSearchCount::SongSearchCount(Store& store, const SongSearchPlan& plan)
    : m_store(&store), m_condition(plan.narrowed ? plan.condition : plan.exact), m_narrowed(plan.narrowed),
      m_done(plan.found >= 0), m_found(std::max<qint64>(plan.found, 0)) {}

bool SongSearchCount::step(double budgetMs) {
    if (m_done || !m_store) {
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    if (m_narrowed) {
        // The index offers few songs: they are counted in one statement.
        m_error = m_store->countUpTo(TableId::Tunarium, m_condition, kSearchNarrowLimit + 1, m_found);
        m_longestMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        m_done = true;
        return false;
    }
    if (!m_begun) {
        m_begun = true;
        qint64 first = 0;
        if ((m_error = m_store->recordRange(TableId::Tunarium, first, m_last))) {
            m_done = true;
            return false;
        }
        m_after = first - 1;
    }
    // Songs written while the count goes on are counted by the count made again after them.
    while (m_after < m_last) {
        QElapsedTimer slice;
        slice.start();
        const qint64 through = std::min(m_last, m_after + m_slice);
        qint64 found = 0;
        if ((m_error = m_store->countInRecordSpan(TableId::Tunarium, m_condition, m_after, through, found))) {
            m_done = true;
            return false;
        }
        const double ms = std::max(static_cast<double>(slice.nsecsElapsed()) / 1e6, 0.01);
        m_longestMs = std::max(m_longestMs, ms);
        m_found += found;
        const qint64 covered = through - m_after;
        m_after = through;
        // The next slice is as large as fits the time given, from how fast this one went.
        m_slice = std::clamp(static_cast<qint64>(static_cast<double>(covered) * budgetMs / ms),
                             kSearchCountMinSlice, kSearchCountMaxSlice);
        if (static_cast<double>(clock.nsecsElapsed()) / 1e6 >= budgetMs) {
            break;
        }
    }
    m_done = m_after >= m_last;
    return !m_done;
}

StoreError countSongSearch(Store& store, SongSearchPlan& plan) {
    SongSearchCount count(store, plan);
    while (count.step(1000)) {
    }
    if (count.error()) {
        return count.error();
    }
    plan.found = count.found();
    return {};
}

QString songSearchTitleSuffix(const SongSearch& search, const SongSearchPlan& plan) {
    if (search.isEmpty() || plan.found < 0) {
        return {};
    }
    if (plan.found == 0) {
        return QStringLiteral(" (none found)");
    }
    return QStringLiteral(" (%1 found)").arg(QLocale(QLocale::English).toString(plan.found));
}

QString songSearchSyntaxHelp() {
    return QStringLiteral(
        "Type words to find the songs whose artist, title, album or mix hold every one of them.\n"
        "\"two words\"  the words together\n"
        "artist:abba  title:\"dancing queen\"  album:gold  mix:extended\n"
        "category:house  media:cd  artist:=abba  (the whole text; category:=\"\" none)\n"
        "bpm:120-128  year:1975-1979  rating:>=7  chart:1-10  (also 120, >120, <=128)\n"
        "bpm:~124  within 6 % of 124, also of half and double the tempo\n"
        "key:8A  the musical key (also key:Am, key:1m)  key:~8A  the keys that mix with it\n"
        "-word  songs without the word (also -artist:abba)\n"
        "Ctrl+F or / to search, Escape to clear.");
}

} // namespace tunarium
