// The collection's statistics: songs and albums per decade, per year, per category and per media,
// songs per band of beats per minute and per rating, and the artists with the most songs, every
// figure counted through the keys (StoreSurvey) in one snapshot, never by reading songs. Each bar
// carries the songs browse's search for its songs (the search box's syntax), and the figures are
// written out as text and as JSON for the command line.
#pragma once

#include "data/store_error.h"

#include <QJsonObject>
#include <QString>
#include <QVector>

namespace tunarium {

class Store;

// One bar of a chart.
struct FigureBar {
    QString label;  // "1970s", "Rock", "120-129"
    QString search; // the songs browse's search for the bar's songs; empty when none can say it
    qint64 songs = 0;
    qint64 albums = 0; // only where the chart counts albums
};

struct FigureChart {
    QString name;  // "decades", "years", "categories", "media", "bpm", "ratings", "artists"
    QString title; // "Songs and Albums per Decade"
    bool countsAlbums = false;
    QVector<FigureBar> bars;
};

struct CollectionFigures {
    qint64 songs = 0;
    qint64 albums = 0;
    QVector<FigureChart> charts;
    StoreError error;

    const FigureChart* chart(const QString& name) const;
};

// The artists the artists' chart names.
inline constexpr int kFigureArtists = 20;
// The width of a band of beats per minute.
inline constexpr int kBpmBand = 10;

// Reads every figure; `error` says why they could not be read.
CollectionFigures readCollectionFigures(const Store& store);

// The songs browse's exact search of a text field ("category:=Rock", "artist:=\"Abba Gold\"");
// empty when the text holds both a blank and a quote, which the syntax cannot say.
QString exactSearch(const QString& field, const QString& text);

// "12,345 songs, 1 album".
QString figuresTotals(const CollectionFigures& figures);

// The figures as the command line prints them: a table per chart.
QString figuresText(const CollectionFigures& figures);
QJsonObject figuresJson(const CollectionFigures& figures);

} // namespace tunarium
