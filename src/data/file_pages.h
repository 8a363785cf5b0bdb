// Reading a SQLite database file page by page without SQLite: the file header, the b-tree pages,
// their cells, the records in them and the overflow chains, as SQLite's file format lays them out.
// Salvage reads a file that SQLite itself no longer reads this way: every page is judged on its
// own, so a damaged page costs only its own records.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QVector>

namespace tunarium::pages {

// One value of a record.
struct Value {
    enum class Kind { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    qint64 integer = 0;
    double real = 0;
    QString text;
};

// A record as a cell holds it: the rowid (0 in an index) and its values in column order.
struct Record {
    qint64 rowid = 0;
    QVector<Value> values;
};

enum class PageKind { Unreadable, TableLeaf, TableInterior, IndexLeaf, IndexInterior };

// What the b-tree header of one page says, when it holds together.
struct BTreePage {
    PageKind kind = PageKind::Unreadable;
    QVector<int> cells;    // offsets of the cells in the page, in key order
    quint32 rightmost = 0; // interior pages: the child past the last cell
};

class PageFile {
public:
    PageFile() = default;
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    // Opens the file for reading, with its write-ahead log (`path`-wal) when that holds committed
    // pages: a page the log holds is read from its last committed frame. False when the file
    // cannot be read or is too short for one page. A damaged header leaves the page size to the
    // log or to the pages themselves.
    bool open(const QString& path);

    int pageSize() const { return m_pageSize; }
    qint64 pageCount() const { return m_pageCount; }
    // The header's words held (the magic text, a page size SQLite writes).
    bool headerSound() const { return m_headerSound; }
    // The first freelist trunk page and the number of free pages the header names (0 when it
    // names none or is damaged).
    quint32 freelistTrunk() const { return m_freelistTrunk; }

    // Page `n` (from 1); empty when it is past the end of the file.
    QByteArray page(qint64 n) const;
    // The b-tree header and cell pointers of page `n`, Unreadable when they do not hold together.
    BTreePage btree(qint64 n, const QByteArray& data) const;

    // The record of the cell at `offset` of a table leaf page, its overflow chain followed.
    // False when the cell or its record does not parse or the chain breaks.
    bool tableLeafRecord(const QByteArray& data, int offset, Record& record) const;
    // The record of the cell at `offset` of an index page (leaf or interior).
    bool indexRecord(const QByteArray& data, int offset, bool interior, Record& record) const;
    // The rowid of a table leaf cell and the first page of its overflow chain (0: none).
    bool tableLeafCell(const QByteArray& data, int offset, qint64& rowid, quint32& firstOverflow) const;
    // The child page that the cell at `offset` of an interior page points to.
    quint32 leftChild(const QByteArray& data, int offset) const;
    // The pages of an overflow chain from `first`, in order; stops at a page that is out of range
    // or met before.
    QVector<quint32> overflowChain(quint32 first) const;

private:
    int usable() const { return m_pageSize - m_reserved; }
    int maxLocal(bool table) const;
    int localSize(qint64 payload, bool table) const;
    bool payload(const QByteArray& data, int at, qint64 size, bool table, QByteArray& out) const;
    bool decodeRecord(const QByteArray& bytes, Record& record) const;
    int guessPageSize();
    // The committed frames of the log: which frame holds each page; the database's size in pages
    // after the last commit (0: no log).
    qint64 readLog(const QString& path, int pageSize);

    QFile m_file;
    const uchar* m_map = nullptr;
    QFile m_logFile;
    const uchar* m_logMap = nullptr;
    QHash<qint64, qint64> m_logFrame; // page → offset of its data in the log
    qint64 m_filePages = 0;
    qint64 m_size = 0;
    int m_pageSize = 0;
    int m_reserved = 0;
    int m_encoding = 1; // 1 UTF-8, 2 UTF-16le, 3 UTF-16be
    qint64 m_pageCount = 0;
    bool m_headerSound = false;
    quint32 m_freelistTrunk = 0;
};

} // namespace tunarium::pages
