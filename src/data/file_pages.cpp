// SQLite's file format read by hand, for salvage.
#include "data/file_pages.h"

#include <QSet>
#include <QtEndian>

#include <cstring>

namespace tunarium::pages {

namespace {

constexpr char kMagic[] = "SQLite format 3";
constexpr int kFileHeader = 100;
constexpr int kMinPage = 512;
constexpr int kMaxPage = 65536;
// Pages looked at when the page size must be found from the pages.
constexpr qint64 kGuessPages = 256;

quint32 be16(const uchar* p) {
    return (quint32(p[0]) << 8) | p[1];
}
quint32 be32(const uchar* p) {
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}
const uchar* bytes(const QByteArray& a) {
    return reinterpret_cast<const uchar*>(a.constData());
}

// A varint at `at` of `data` (at most `end`): its value, and `at` moved past it. False when it
// runs past the end.
bool varint(const uchar* data, int& at, int end, qint64& value) {
    quint64 v = 0;
    for (int i = 0; i < 9; ++i) {
        if (at >= end) {
            return false;
        }
        const uchar b = data[at++];
        if (i == 8) {
            v = (v << 8) | b;
            break;
        }
        v = (v << 7) | (b & 0x7f);
        if (!(b & 0x80)) {
            break;
        }
    }
    value = static_cast<qint64>(v);
    return true;
}

bool validPageSize(int size) {
    return size >= kMinPage && size <= kMaxPage && (size & (size - 1)) == 0;
}

// The byte length of a value of serial type `type` in a record's body; -1 for the reserved types.
qint64 serialLength(qint64 type) {
    static constexpr int kIntLengths[] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
    if (type < 0 || type == 10 || type == 11) {
        return -1;
    }
    if (type < 10) {
        return kIntLengths[type];
    }
    return (type - 12) / 2;
}

} // namespace

bool PageFile::open(const QString& path) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        return false;
    }
    m_size = m_file.size();
    if (m_size < kMinPage) {
        return false;
    }
    m_map = m_file.map(0, m_size);
    if (!m_map) {
        return false;
    }
    int size = static_cast<int>(be16(m_map + 16));
    size = size == 1 ? kMaxPage : size;
    const bool sizeSound = std::memcmp(m_map, kMagic, sizeof kMagic) == 0 && validPageSize(size);
    const qint64 logPages = readLog(path + QStringLiteral("-wal"), sizeSound ? size : 0);
    if (!m_logFrame.isEmpty()) {
        size = m_pageSize;
    } else if (sizeSound) {
        m_pageSize = size;
    } else {
        m_pageSize = guessPageSize();
    }
    m_filePages = m_size / m_pageSize;
    m_pageCount = std::max(m_filePages, logPages);
    // The header as the last commit left it: page 1 from the log when the log holds it.
    const QByteArray first = page(1);
    if (first.size() < kFileHeader) {
        return m_pageCount > 0;
    }
    const auto* h = bytes(first);
    const int reserved = h[20];
    m_headerSound = std::memcmp(h, kMagic, sizeof kMagic) == 0 && m_pageSize - reserved >= 480;
    if (m_headerSound) {
        m_reserved = reserved;
        m_freelistTrunk = be32(h + 32);
        const quint32 encoding = be32(h + 56);
        m_encoding = encoding >= 1 && encoding <= 3 ? static_cast<int>(encoding) : 1;
    }
    return m_pageCount > 0;
}

qint64 PageFile::readLog(const QString& path, int pageSize) {
    constexpr int kLogHeader = 32;
    constexpr int kFrameHeader = 24;
    m_logFile.setFileName(path);
    const qint64 logSize = m_logFile.size();
    if (logSize < kLogHeader || !m_logFile.open(QIODevice::ReadOnly) ||
        !(m_logMap = m_logFile.map(0, logSize))) {
        return 0;
    }
    const quint32 magic = be32(m_logMap);
    const int logPageSize = static_cast<int>(be32(m_logMap + 8));
    if ((magic & ~1u) != 0x377f0682u || !validPageSize(logPageSize) || (pageSize != 0 && pageSize != logPageSize)) {
        return 0;
    }
    const bool bigEndian = magic & 1;
    // The log's running checksum over 32-bit words taken two at a time.
    quint32 s0 = 0;
    quint32 s1 = 0;
    const auto sum = [&](const uchar* p, qint64 length) {
        for (qint64 i = 0; i + 8 <= length; i += 8) {
            const quint32 a = bigEndian ? be32(p + i) : qFromLittleEndian<quint32>(p + i);
            const quint32 b = bigEndian ? be32(p + i + 4) : qFromLittleEndian<quint32>(p + i + 4);
            s0 += a + s1;
            s1 += b + s0;
        }
    };
    sum(m_logMap, 24);
    if (s0 != be32(m_logMap + 24) || s1 != be32(m_logMap + 28)) {
        return 0;
    }
    const quint32 salt1 = be32(m_logMap + 16);
    const quint32 salt2 = be32(m_logMap + 20);
    QHash<qint64, qint64> pending;
    qint64 committedSize = 0;
    for (qint64 at = kLogHeader; at + kFrameHeader + logPageSize <= logSize; at += kFrameHeader + logPageSize) {
        const uchar* f = m_logMap + at;
        if (be32(f + 8) != salt1 || be32(f + 12) != salt2) {
            break;
        }
        sum(f, 8);
        sum(f + kFrameHeader, logPageSize);
        if (s0 != be32(f + 16) || s1 != be32(f + 20)) {
            break;
        }
        pending.insert(be32(f), at + kFrameHeader);
        if (const quint32 commit = be32(f + 4); commit != 0) {
            // Only frames up to a commit count; the ones after the last are a change cut short.
            for (auto it = pending.cbegin(); it != pending.cend(); ++it) {
                m_logFrame.insert(it.key(), it.value());
            }
            pending.clear();
            committedSize = commit;
        }
    }
    if (!m_logFrame.isEmpty()) {
        m_pageSize = logPageSize;
    }
    return committedSize;
}

int PageFile::guessPageSize() {
    // The size at which the most pages read as b-tree pages; the usual 4096 when none do.
    int best = 4096;
    qint64 bestCount = 0;
    for (int size = kMinPage; size <= kMaxPage; size *= 2) {
        if (m_size < size) {
            break;
        }
        m_pageSize = size;
        m_pageCount = m_filePages = m_size / size;
        qint64 count = 0;
        for (qint64 n = 2; n <= std::min(m_pageCount, kGuessPages); ++n) {
            count += btree(n, page(n)).kind != PageKind::Unreadable ? 1 : 0;
        }
        if (count > bestCount) {
            bestCount = count;
            best = size;
        }
    }
    return best;
}

QByteArray PageFile::page(qint64 n) const {
    if (n < 1 || n > m_pageCount) {
        return {};
    }
    if (const auto it = m_logFrame.constFind(n); it != m_logFrame.cend()) {
        return QByteArray::fromRawData(reinterpret_cast<const char*>(m_logMap + it.value()), m_pageSize);
    }
    if (n > m_filePages) {
        return {};
    }
    return QByteArray::fromRawData(reinterpret_cast<const char*>(m_map + (n - 1) * m_pageSize), m_pageSize);
}

BTreePage PageFile::btree(qint64 n, const QByteArray& data) const {
    BTreePage result;
    if (data.size() != m_pageSize) {
        return result;
    }
    const uchar* p = bytes(data);
    const int header = n == 1 ? kFileHeader : 0;
    const int end = usable();
    PageKind kind = PageKind::Unreadable;
    switch (p[header]) {
    case 0x0d:
        kind = PageKind::TableLeaf;
        break;
    case 0x05:
        kind = PageKind::TableInterior;
        break;
    case 0x0a:
        kind = PageKind::IndexLeaf;
        break;
    case 0x02:
        kind = PageKind::IndexInterior;
        break;
    default:
        return result;
    }
    const bool interior = kind == PageKind::TableInterior || kind == PageKind::IndexInterior;
    const int cellCount = static_cast<int>(be16(p + header + 3));
    int contentStart = static_cast<int>(be16(p + header + 5));
    contentStart = contentStart == 0 ? kMaxPage : contentStart;
    const int pointers = header + (interior ? 12 : 8);
    const int pointersEnd = pointers + 2 * cellCount;
    if (pointersEnd > end || (cellCount > 0 && (contentStart < pointersEnd || contentStart > end)) ||
        p[header + 7] > 60) {
        return result;
    }
    const quint32 firstFree = be16(p + header + 1);
    if (firstFree != 0 && (firstFree < quint32(pointersEnd) || firstFree + 4 > quint32(end))) {
        return result;
    }
    // The smallest cell: a table leaf's two one-byte varints and one byte of record header.
    const int smallest = kind == PageKind::TableLeaf ? 3 : interior ? 5 : 2;
    result.cells.reserve(cellCount);
    for (int i = 0; i < cellCount; ++i) {
        const int cell = static_cast<int>(be16(p + pointers + 2 * i));
        if (cell < contentStart || cell + smallest > end) {
            return result;
        }
        result.cells << cell;
    }
    if (interior) {
        result.rightmost = be32(p + header + 8);
        if (result.rightmost < 1 || result.rightmost > m_pageCount) {
            result.cells.clear();
            return result;
        }
    }
    result.kind = kind;
    return result;
}

int PageFile::maxLocal(bool table) const {
    return table ? usable() - 35 : (usable() - 12) * 64 / 255 - 23;
}

int PageFile::localSize(qint64 payload, bool table) const {
    const int x = maxLocal(table);
    if (payload <= x) {
        return static_cast<int>(payload);
    }
    const int m = (usable() - 12) * 32 / 255 - 23;
    const qint64 k = m + (payload - m) % (usable() - 4);
    return k <= x ? static_cast<int>(k) : m;
}

QVector<quint32> PageFile::overflowChain(quint32 first) const {
    QVector<quint32> chain;
    QSet<quint32> seen;
    for (quint32 n = first; n != 0;) {
        if (n > m_pageCount || seen.contains(n)) {
            break;
        }
        seen.insert(n);
        chain << n;
        const QByteArray data = page(n);
        if (data.size() < 4) {
            break;
        }
        n = be32(bytes(data));
    }
    return chain;
}

bool PageFile::payload(const QByteArray& data, int at, qint64 size, bool table, QByteArray& out) const {
    const int end = usable();
    const int local = localSize(size, table);
    if (size < 0 || at + local > end || size > qint64(m_pageCount) * m_pageSize) {
        return false;
    }
    out = data.mid(at, local);
    if (local == size) {
        return true;
    }
    if (at + local + 4 > end) {
        return false;
    }
    quint32 next = be32(bytes(data) + at + local);
    QSet<quint32> seen;
    while (out.size() < size) {
        if (next < 1 || next > m_pageCount || seen.contains(next)) {
            return false;
        }
        seen.insert(next);
        const QByteArray overflow = page(next);
        if (overflow.size() != m_pageSize) {
            return false;
        }
        const uchar* p = bytes(overflow);
        const int take = static_cast<int>(std::min<qint64>(size - out.size(), end - 4));
        out.append(reinterpret_cast<const char*>(p + 4), take);
        next = be32(p);
    }
    return true;
}

bool PageFile::decodeRecord(const QByteArray& raw, Record& record) const {
    const uchar* p = bytes(raw);
    const int end = static_cast<int>(raw.size());
    int at = 0;
    qint64 headerSize = 0;
    if (!varint(p, at, end, headerSize) || headerSize < at || headerSize > end) {
        return false;
    }
    QVector<qint64> types;
    while (at < headerSize) {
        qint64 type = 0;
        if (!varint(p, at, static_cast<int>(headerSize), type) || serialLength(type) < 0) {
            return false;
        }
        types << type;
    }
    int body = static_cast<int>(headerSize);
    record.values.clear();
    record.values.reserve(types.size());
    for (qint64 type : types) {
        const qint64 length = serialLength(type);
        if (body + length > end) {
            return false;
        }
        Value v;
        const uchar* b = p + body;
        if (type == 0) {
            v.kind = Value::Kind::Null;
        } else if (type <= 6) {
            qint64 n = (b[0] & 0x80) ? -1 : 0;
            for (qint64 i = 0; i < length; ++i) {
                n = static_cast<qint64>((static_cast<quint64>(n) << 8) | b[i]);
            }
            v.kind = Value::Kind::Integer;
            v.integer = n;
        } else if (type == 7) {
            quint64 bits = 0;
            for (int i = 0; i < 8; ++i) {
                bits = (bits << 8) | b[i];
            }
            v.kind = Value::Kind::Real;
            std::memcpy(&v.real, &bits, sizeof bits);
        } else if (type == 8 || type == 9) {
            v.kind = Value::Kind::Integer;
            v.integer = type - 8;
        } else if (type % 2 == 0) {
            v.kind = Value::Kind::Blob;
        } else {
            v.kind = Value::Kind::Text;
            const char* s = reinterpret_cast<const char*>(b);
            const int n = static_cast<int>(length);
            if (m_encoding == 1) {
                v.text = QString::fromUtf8(s, n);
            } else {
                QString text(n / 2, Qt::Uninitialized);
                for (int i = 0; i < n / 2; ++i) {
                    const uchar lo = b[2 * i + (m_encoding == 2 ? 0 : 1)];
                    const uchar hi = b[2 * i + (m_encoding == 2 ? 1 : 0)];
                    text[i] = QChar(static_cast<char16_t>((hi << 8) | lo));
                }
                v.text = text;
            }
        }
        body += static_cast<int>(length);
        record.values << v;
    }
    return body == end;
}

bool PageFile::tableLeafCell(const QByteArray& data, int offset, qint64& rowid, quint32& firstOverflow) const {
    const uchar* p = bytes(data);
    int at = offset;
    qint64 size = 0;
    if (!varint(p, at, usable(), size) || !varint(p, at, usable(), rowid) || size < 0) {
        return false;
    }
    const int local = localSize(size, true);
    if (at + local > usable()) {
        return false;
    }
    firstOverflow = 0;
    if (local < size) {
        if (at + local + 4 > usable()) {
            return false;
        }
        firstOverflow = be32(p + at + local);
    }
    return true;
}

bool PageFile::tableLeafRecord(const QByteArray& data, int offset, Record& record) const {
    const uchar* p = bytes(data);
    int at = offset;
    qint64 size = 0;
    if (!varint(p, at, usable(), size) || !varint(p, at, usable(), record.rowid)) {
        return false;
    }
    QByteArray raw;
    return payload(data, at, size, true, raw) && decodeRecord(raw, record);
}

bool PageFile::indexRecord(const QByteArray& data, int offset, bool interior, Record& record) const {
    const uchar* p = bytes(data);
    int at = offset + (interior ? 4 : 0);
    qint64 size = 0;
    if (!varint(p, at, usable(), size)) {
        return false;
    }
    QByteArray raw;
    record.rowid = 0;
    return payload(data, at, size, false, raw) && decodeRecord(raw, record);
}

quint32 PageFile::leftChild(const QByteArray& data, int offset) const {
    return offset + 4 <= usable() ? be32(bytes(data) + offset) : 0;
}

} // namespace tunarium::pages
