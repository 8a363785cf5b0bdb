// The collection's figures, read through the keys.
#include "survey/collection_figures.h"

#include "data/date_time.h"
#include "data/dictionary_tables.h"
#include "data/fold_key.h"
#include "data/store.h"
#include "data/store_survey.h"

#include <QJsonArray>
#include <QLocale>
#include <QMap>

#include <algorithm>

namespace tunarium {

namespace {

constexpr int kNoYear = 0;

// A chart's bars by a sort key, songs and albums added up as the counts come in.
class Tally {
public:
    FigureBar& bar(const QString& key, const QString& label, const QString& search) {
        auto found = m_bars.find(key);
        if (found == m_bars.end()) {
            found = m_bars.insert(key, FigureBar{label, search, 0, 0});
        }
        return found.value();
    }
    QVector<FigureBar> bars() const { return m_bars.values(); }

private:
    QMap<QString, FigureBar> m_bars;
};

QString yearSearch(int from, int to) {
    return from == to ? QStringLiteral("year:%1").arg(from) : QStringLiteral("year:%1-%2").arg(from).arg(to);
}

// Keys that sort numbers as numbers (decades, years: 1..9999).
QString numberKey(qint64 n) {
    return QStringLiteral("%1").arg(n, 12, 10, QLatin1Char('0'));
}

void addDates(Tally& decades, Tally& years, const QVector<ValueCount>& dates, bool albums) {
    // Many days fall in one year: they are added up by year before any bar is looked up.
    QMap<int, qint64> perYear;
    for (const ValueCount& d : dates) {
        perYear[releaseYear(d.value)] += d.count;
    }
    for (auto it = perYear.cbegin(); it != perYear.cend(); ++it) {
        const int year = it.key();
        FigureBar& decade = year == kNoYear
                                ? decades.bar(QStringLiteral("~"), QStringLiteral("No date"),
                                              QStringLiteral("-year:1-9999"))
                                : decades.bar(numberKey(year / 10), QStringLiteral("%1s").arg(year / 10 * 10),
                                              yearSearch(year / 10 * 10, year / 10 * 10 + 9));
        (albums ? decade.albums : decade.songs) += it.value();
        if (year != kNoYear) {
            FigureBar& y = years.bar(numberKey(year), QString::number(year), yearSearch(year, year));
            (albums ? y.albums : y.songs) += it.value();
        }
    }
}

// Most songs first, then most albums, then by label.
void sortByCount(QVector<FigureBar>& bars) {
    std::stable_sort(bars.begin(), bars.end(), [](const FigureBar& a, const FigureBar& b) {
        if (a.songs != b.songs) {
            return a.songs > b.songs;
        }
        if (a.albums != b.albums) {
            return a.albums > b.albums;
        }
        return a.label.localeAwareCompare(b.label) < 0;
    });
}

void addCategories(Tally& tally, const QVector<ValueCount>& counts, const QHash<qint64, QString>& names,
                   bool albums) {
    for (const ValueCount& c : counts) {
        const QString name = names.value(c.value).trimmed();
        FigureBar& bar = name.isEmpty()
                             ? tally.bar({}, QStringLiteral("No category"), exactSearch(QStringLiteral("category"), {}))
                             : tally.bar(foldKey(name), name, exactSearch(QStringLiteral("category"), name));
        (albums ? bar.albums : bar.songs) += c.count;
    }
}

void addMedia(Tally& tally, const QVector<TextCount>& counts, bool albums) {
    for (const TextCount& c : counts) {
        const QString name = c.text.trimmed();
        FigureBar& bar = name.isEmpty()
                             ? tally.bar({}, QStringLiteral("No media"), exactSearch(QStringLiteral("media"), {}))
                             : tally.bar(foldKey(name), name, exactSearch(QStringLiteral("media"), name));
        (albums ? bar.albums : bar.songs) += c.count;
    }
}

QVector<FigureBar> bpmBands(const QVector<ValueCount>& counts) {
    Tally tally;
    for (const ValueCount& c : counts) {
        if (c.value <= 0) {
            FigureBar& bar = c.value == 0 ? tally.bar(QStringLiteral("0"), QStringLiteral("No BPM"), QStringLiteral("bpm:0"))
                                          : tally.bar(QStringLiteral("-"), QStringLiteral("Below 0"), QStringLiteral("bpm:<0"));
            bar.songs += c.count;
            continue;
        }
        const qint64 low = c.value / kBpmBand * kBpmBand;
        const qint64 high = low + kBpmBand - 1;
        // The search reads numbers of up to nine digits.
        const QString search = high <= 999999999 ? QStringLiteral("bpm:%1-%2").arg(low).arg(high) : QString();
        tally.bar(QStringLiteral("1") + numberKey(low), QStringLiteral("%1-%2").arg(low).arg(high), search).songs +=
            c.count;
    }
    return tally.bars();
}

QVector<FigureBar> ratings(const QVector<ValueCount>& counts) {
    QVector<FigureBar> bars;
    for (const ValueCount& c : counts) {
        bars.push_back({c.value == 0 ? QStringLiteral("Not rated") : QString::number(c.value),
                        QStringLiteral("rating:%1").arg(c.value), c.count, 0});
    }
    return bars;
}

QVector<FigureBar> artists(const QVector<TextCount>& counts) {
    QVector<FigureBar> bars;
    for (const TextCount& c : counts) {
        const QString name = c.text.trimmed();
        bars.push_back({name.isEmpty() ? QStringLiteral("No artist") : name,
                        exactSearch(QStringLiteral("artist"), name), c.count, 0});
    }
    return bars;
}

} // namespace

const FigureChart* CollectionFigures::chart(const QString& name) const {
    for (const FigureChart& c : charts) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

QString exactSearch(const QString& field, const QString& text) {
    const bool blank = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
    const bool quote = text.contains(u'"');
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; }) ||
        (blank && quote)) {
        return {};
    }
    if (text.isEmpty() || blank || text.startsWith(u'"')) {
        return quote ? QString() : field + QStringLiteral(":=\"") + text + u'"';
    }
    return field + QStringLiteral(":=") + text;
}

CollectionFigures readCollectionFigures(const Store& store) {
    CollectionFigures figures;
    const std::unique_ptr<StoreSurvey> opened = store.openSurvey();
    StoreSurvey& survey = *opened;
    StoreError& error = figures.error;
    if ((error = survey.error())) {
        return figures;
    }
    QVector<ValueCount> songDates, albumDates, songCategories, albumCategories, bpm, rating;
    QVector<TextCount> songMedia, albumMedia, topArtists;
    QHash<qint64, QString> categoryNames;
    if ((error = survey.count(TableId::Tunarium, figures.songs)) || (error = survey.count(TableId::Album, figures.albums)) ||
        (error = survey.countsByNumber(TableId::Tunarium, tun::kKeyOrderReleaseDate, songDates)) ||
        (error = survey.countsByNumber(TableId::Album, alb::kKeyOrderReleaseDate, albumDates)) ||
        (error = survey.countsByNumber(TableId::Tunarium, tun::kKeyOrderCategory, songCategories)) ||
        (error = survey.countsByNumber(TableId::Album, alb::kKeyCategory, albumCategories)) ||
        (error = survey.namesByNumber(TableId::Categories, cat::kCategoryId, cat::kCategory, categoryNames)) ||
        (error = survey.countsByText(TableId::Tunarium, tun::kSongsByMedia, 0, songMedia)) ||
        (error = survey.countsByText(TableId::Album, alb::kKeyOrderMedia, 0, albumMedia)) ||
        (error = survey.countsByNumber(TableId::Tunarium, tun::kKeyOrderBeatsPerMinute, bpm)) ||
        (error = survey.countsByNumber(TableId::Tunarium, tun::kKeyOrderRating, rating)) ||
        (error = survey.countsByText(TableId::Tunarium, tun::kSongsByArtist, kFigureArtists, topArtists))) {
        return figures;
    }
    Tally decades, years, categories, media;
    addDates(decades, years, songDates, false);
    addDates(decades, years, albumDates, true);
    addCategories(categories, songCategories, categoryNames, false);
    addCategories(categories, albumCategories, categoryNames, true);
    addMedia(media, songMedia, false);
    addMedia(media, albumMedia, true);
    QVector<FigureBar> categoryBars = categories.bars();
    QVector<FigureBar> mediaBars = media.bars();
    sortByCount(categoryBars);
    sortByCount(mediaBars);
    figures.charts = {
        {QStringLiteral("decades"), QStringLiteral("Songs and Albums per Decade"), true, decades.bars()},
        {QStringLiteral("years"), QStringLiteral("Songs and Albums per Year"), true, years.bars()},
        {QStringLiteral("categories"), QStringLiteral("Songs and Albums per Category"), true, categoryBars},
        {QStringLiteral("media"), QStringLiteral("Songs and Albums per Media"), true, mediaBars},
        {QStringLiteral("bpm"), QStringLiteral("Songs per Beats per Minute"), false, bpmBands(bpm)},
        {QStringLiteral("ratings"), QStringLiteral("Songs per Rating"), false, ratings(rating)},
        {QStringLiteral("artists"), QStringLiteral("Artists with the Most Songs"), false, artists(topArtists)},
    };
    return figures;
}

QString figuresTotals(const CollectionFigures& figures) {
    const QLocale english(QLocale::English);
    const auto counted = [&english](qint64 n, const char* one, const char* many) {
        return english.toString(n) + u' ' + QLatin1String(n == 1 ? one : many);
    };
    return counted(figures.songs, "song", "songs") + QStringLiteral(", ") + counted(figures.albums, "album", "albums");
}

QString figuresText(const CollectionFigures& figures) {
    const QLocale english(QLocale::English);
    QString text = QStringLiteral("Songs: %1\nAlbums: %2\n")
                       .arg(english.toString(figures.songs), english.toString(figures.albums));
    for (const FigureChart& chart : figures.charts) {
        qsizetype width = 5;
        for (const FigureBar& bar : chart.bars) {
            width = std::max(width, bar.label.size());
        }
        text += u'\n' + chart.title + u'\n';
        text += QStringLiteral("  %1  %2").arg(QString(), -int(width)).arg(QStringLiteral("Songs"), 10);
        text += chart.countsAlbums ? QStringLiteral("  %1\n").arg(QStringLiteral("Albums"), 10) : QStringLiteral("\n");
        for (const FigureBar& bar : chart.bars) {
            text += QStringLiteral("  %1  %2").arg(bar.label, -int(width)).arg(english.toString(bar.songs), 10);
            text += chart.countsAlbums ? QStringLiteral("  %1\n").arg(english.toString(bar.albums), 10)
                                       : QStringLiteral("\n");
        }
        if (chart.bars.isEmpty()) {
            text += QStringLiteral("  (none)\n");
        }
    }
    return text;
}

QJsonObject figuresJson(const CollectionFigures& figures) {
    QJsonArray charts;
    for (const FigureChart& chart : figures.charts) {
        QJsonArray bars;
        for (const FigureBar& bar : chart.bars) {
            QJsonObject b{{QStringLiteral("label"), bar.label},
                          {QStringLiteral("songs"), bar.songs},
                          {QStringLiteral("search"), bar.search}};
            if (chart.countsAlbums) {
                b.insert(QStringLiteral("albums"), bar.albums);
            }
            bars.append(b);
        }
        charts.append(QJsonObject{{QStringLiteral("name"), chart.name},
                                  {QStringLiteral("title"), chart.title},
                                  {QStringLiteral("bars"), bars}});
    }
    return {{QStringLiteral("songs"), figures.songs},
            {QStringLiteral("albums"), figures.albums},
            {QStringLiteral("charts"), charts}};
}

} // namespace tunarium
