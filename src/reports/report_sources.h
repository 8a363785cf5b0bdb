// The record sources of the report catalogue: songs in the order of one of their keys, the songs
// of one album, albums, and the entries of one playlist with their songs. Each reads its table
// through a key walk (key_walk.h), a batch at a time, and names its fields as the dictionary does
// ("TUN:Artist", "ALB:FileNumber", "PLA:PlaylistSeq"), together with the fields of the records it
// looks up ("CAT:Category" of a song's category, "TUN:Title" of a playlist entry's song) and a few
// made for printing:
//
//   DisplayTitle  the song's title, " (Skips)" when it has skips, and its mix in parentheses
//   SongTime      the song's time in minutes and seconds ("3:45", "72:05"); blank without a time
//   ReleaseYear   the year of the release date, which may hold a bare year; 0 without a date
//   Blank         an empty text, for a column left free to write in
#pragma once

#include "data/key_walk.h"
#include "reports/report_source.h"

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

namespace tunarium {

// The record check of the song reports that leave songs out: a song is passed over when its
// artist holds "(*)", its title holds "(Skips)", or it has skips or is marked do-not-play.
bool songPassesRecordCheck(const Row& song);
// The title as reports, lists and binder pages show it; at most 255 characters.
QString reportDisplayTitle(const Row& song);
// A time value as minutes and seconds; empty for no time.
QString minutesAndSeconds(qint64 timeValue);

// Fields by name, each read from the records at hand by a function; and the read error that
// ended the walk, if one did.
class FieldedSource : public ReportRecordSource {
public:
    int fieldIndex(QStringView name) const override;
    QVariant value(int field) const override { return m_fields[field].read(); }
    QString error() const override;

    struct ReadFailure {
        TableId table;
        StoreError error;
    };
    const std::optional<ReadFailure>& readFailure() const { return m_failure; }

protected:
    using Reader = std::function<QVariant()>;
    void addField(const QString& name, Reader read);
    // Every field of `table` as PREFIX:Name, read from the row `*row` points at when asked.
    void addTableFields(TableId table, const Row* const* row);
    // Ends the walk with a read error of `table`; returns false.
    bool failed(TableId table, const StoreError& error);
    // The outcome of a walk's step: false at its end, after noting a read error when there was one.
    bool walked(const KeyWalk& walk, bool on);

private:
    struct Field {
        QString name;
        Reader read;
    };
    QVector<Field> m_fields;
    std::optional<ReadFailure> m_failure;
};

// A song's fields, its category's name and the fields made for printing, read from the song a
// subclass is on.
class SongFields : public FieldedSource {
protected:
    explicit SongFields(Store& store);
    void setSong(const Row* song) { m_song = song; }
    QString categoryName(qint64 categoryId) const;

    Store& m_store;

private:
    const Row* m_song = nullptr;
    mutable QHash<qint64, QString> m_categories;
};

// Songs in the order of one key.
class SongsSource : public SongFields {
public:
    // With `recordCheck`, songs that fail the record check are read but not printed.
    SongsSource(Store& store, int key, KeyWalkLimits limits, bool recordCheck);

    bool first() override;
    bool next() override;
    bool passes() const override;
    qint64 total() const override;
    const KeyWalk& walk() const { return m_walk; }

private:
    bool moved(bool on);

    KeyWalk m_walk;
    bool m_check;
};

// The songs of one album (TUN:AlbumID) in the order of TUN:SongsByAlbum. They are found through
// the album's own key and put in order in memory: an album's songs, not the whole table.
class AlbumSongsSource : public SongFields {
public:
    AlbumSongsSource(Store& store, qint64 albumId);

    bool first() override;
    bool next() override;
    qint64 total() const override;

private:
    qint64 m_albumId;
    QVector<Row> m_songs;
    int m_index = 0;
};

// Albums in the order of one key, with their category's name.
class AlbumsSource : public FieldedSource {
public:
    AlbumsSource(Store& store, int key, KeyWalkLimits limits);

    bool first() override;
    bool next() override;
    qint64 total() const override;
    const KeyWalk& walk() const { return m_walk; }

private:
    bool moved(bool on);

    Store& m_store;
    KeyWalk m_walk;
    const Row* m_album = nullptr;
    mutable std::optional<std::pair<qint64, QString>> m_category;
};

// The entries of one playlist in their order, each with its song (blank when the entry names no
// song) and the song's category.
class PlaylistSource : public SongFields {
public:
    PlaylistSource(Store& store, qint64 playlistId);

    bool first() override;
    bool next() override;
    qint64 total() const override;

private:
    bool moved(bool on);

    KeyWalk m_walk;
    const Row* m_entry = nullptr;
    Row m_song;
};

} // namespace tunarium
