// Private-profile INI files: the settings file, the default profile and the window-position file.
//
// Sections and keys compare without regard to case. A key is everything before the first '=' on
// its line (so `SRCF?Browse:1`, `FontNamePrintTUN:SongsByArtist` and `GLO:Delimiter` are plain
// keys); the value is everything after it. Both are trimmed, and a value wrapped in double quotes
// loses the quotes. Lines beginning with ';' are comments. Lines that are neither a section header
// nor a key are kept but otherwise ignored. The first of duplicate sections, and the first of
// duplicate keys within it, is the one read and written.
//
// Writing changes only the line of the key: the rest of the file keeps its order, comments, unknown
// lines, line-ending style (CRLF or LF) and UTF-8 byte-order mark. A new key goes after the last
// key of its section, a new section at the end of the file. Files are replaced atomically.
#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace tunarium {

using IniEntries = QList<QPair<QString, QString>>;

// The text of an INI file held in memory: parsing, lookup and editing without any file I/O.
class IniDocument {
public:
    // Reads UTF-8 text (with or without byte-order mark); text that is not valid UTF-8 is read as
    // Latin-1 so that an old file still yields its keys.
    static IniDocument parse(const QByteArray& bytes);
    QByteArray serialize() const;

    std::optional<QString> value(QStringView section, QStringView key) const;
    // False when the section or key cannot be represented in the file (empty, holding a line
    // break, a key holding '=' or a section holding ']'). Line breaks in a value become blanks; a
    // value that would lose blanks or quotes on reading is written in quotes.
    bool setValue(QStringView section, QStringView key, const QString& value);
    // True when the key was there.
    bool remove(QStringView section, QStringView key);

    bool usesCrLf() const { return m_crlf; }
    bool hasByteOrderMark() const { return m_bom; }

private:
    struct Section {
        int header = 0;
        int lastEntry = 0; // line after which a new key goes
        QHash<QString, int> keys;
    };

    void reindex();
    const Section* findSection(QStringView section) const;
    int findKey(QStringView section, QStringView key) const;

    QStringList m_lines;
    bool m_crlf = false;
    bool m_bom = false;
    QList<Section> m_sections;
    QHash<QString, int> m_sectionIndex;
};

// One INI file on disk, parsed once and parsed again only when the file changed (modification
// time, change time or size), so that a window reading many keys at opening costs one parse.
// Not thread-safe; the free functions below share instances under a lock.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    QString value(QStringView section, QStringView key, const QString& defaultValue = {});
    bool contains(QStringView section, QStringView key);
    // Writes one key; false when the file could not be written (then it is left as it was).
    // Creates the directory when needed. A value equal to the stored one causes no write.
    bool setValue(QStringView section, QStringView key, const QString& value);
    // Writes several keys of one section in order, replacing the file once.
    bool setValues(QStringView section, const IniEntries& entries);
    bool remove(QStringView section, QStringView key);

private:
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        qint64 modified = 0;
        qint64 changed = 0;
        bool operator==(const Stamp&) const = default;
    };

    static Stamp stampOf(const QString& path);
    void refresh();
    bool save(const IniDocument& document);

    QString m_path;
    IniDocument m_document;
    Stamp m_stamp;
    bool m_loaded = false;
};

// The platform's INI operations, over a cache of IniFile objects shared by the whole program.
QString readIni(const QString& path, QStringView section, QStringView key, const QString& defaultValue = {});
bool writeIni(const QString& path, QStringView section, QStringView key, const QString& value);
bool writeIniEntries(const QString& path, QStringView section, const IniEntries& entries);
bool removeIniKey(const QString& path, QStringView section, QStringView key);

// A missing key gives defaultValue; a value that is not a number gives 0.
qint64 readIniNumber(const QString& path, QStringView section, QStringView key, qint64 defaultValue = 0);

// Decimal text as settings and positions read it: optional sign, digits, blanks around; a
// fraction is cut off; anything else (empty text included) is 0.
qint64 iniNumber(QStringView text);

} // namespace tunarium
