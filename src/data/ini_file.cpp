// Private-profile INI files: parsing, editing, atomic writing and the shared cache.
#include "data/ini_file.h"

#include "data/app_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStringDecoder>

#include <cmath>
#include <map>
#include <memory>

namespace tunarium {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

enum class LineKind { Blank, Comment, Header, Entry, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QStringView name;  // section name or key, trimmed
    QStringView value; // raw value text after '=', untrimmed
};

ParsedLine parseLine(QStringView line) {
    const QStringView text = line.trimmed();
    if (text.isEmpty()) {
        return {LineKind::Blank};
    }
    if (text.front() == u';') {
        return {LineKind::Comment};
    }
    if (text.front() == u'[') {
        const qsizetype close = text.indexOf(u']');
        const QStringView name = close < 0 ? QStringView() : text.mid(1, close - 1).trimmed();
        return name.isEmpty() ? ParsedLine{LineKind::Other} : ParsedLine{LineKind::Header, name};
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) {
        return {LineKind::Other};
    }
    const QStringView key = line.left(equals).trimmed();
    if (key.isEmpty()) {
        return {LineKind::Other};
    }
    return {LineKind::Entry, key, line.mid(equals + 1)};
}

QString decodeValue(QStringView raw) {
    QStringView value = raw.trimmed();
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        value = value.mid(1, value.size() - 2);
    }
    return value.toString();
}

QString encodeValue(const QString& value) {
    QString flat = value;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    flat.replace(u'\r', u' ');
    flat.replace(u'\n', u' ');
    const bool quoted = flat.size() >= 2 && flat.front() == u'"' && flat.back() == u'"';
    if (flat != flat.trimmed() || quoted) {
        return u'"' + flat + u'"';
    }
    return flat;
}

QString fold(QStringView text) {
    return text.trimmed().toString().toCaseFolded();
}

bool hasLineBreak(QStringView text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

bool isWritableSection(QStringView section) {
    const QStringView name = section.trimmed();
    return !name.isEmpty() && !name.contains(u']') && !hasLineBreak(name);
}

bool isWritableKey(QStringView key) {
    const QStringView name = key.trimmed();
    return !name.isEmpty() && !name.contains(u'=') && !hasLineBreak(name) && name.front() != u'[' &&
           name.front() != u';';
}

QString decodeText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        return QString::fromLatin1(bytes);
    }
    return text;
}

} // namespace

// ---- IniDocument ------------------------------------------------------------------------------

IniDocument IniDocument::parse(const QByteArray& bytes) {
    IniDocument document;
    QByteArrayView view(bytes);
    if (view.startsWith(QByteArrayView(kBom))) {
        document.m_bom = true;
        view = view.sliced(3);
    }
    const qsizetype firstBreak = view.indexOf('\n');
    document.m_crlf = firstBreak > 0 && view.at(firstBreak - 1) == '\r';

    const QString text = decodeText(view);
    document.m_lines = text.split(u'\n');
    if (!document.m_lines.isEmpty() && document.m_lines.back().isEmpty()) {
        document.m_lines.removeLast();
    }
    for (QString& line : document.m_lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    document.reindex();
    return document;
}

QByteArray IniDocument::serialize() const {
    const QString eol = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const QString& line : m_lines) {
        text += line;
        text += eol;
    }
    QByteArray bytes = m_bom ? QByteArray(kBom) : QByteArray();
    bytes += text.toUtf8();
    return bytes;
}

void IniDocument::reindex() {
    m_sections.clear();
    m_sectionIndex.clear();
    for (int i = 0; i < m_lines.size(); ++i) {
        const ParsedLine line = parseLine(m_lines.at(i));
        if (line.kind == LineKind::Header) {
            m_sections.append(Section{i, i, {}});
            const QString name = fold(line.name);
            if (!m_sectionIndex.contains(name)) {
                m_sectionIndex.insert(name, int(m_sections.size() - 1));
            }
        } else if (line.kind == LineKind::Entry && !m_sections.isEmpty()) {
            Section& section = m_sections.last();
            section.lastEntry = i;
            const QString key = fold(line.name);
            if (!section.keys.contains(key)) {
                section.keys.insert(key, i);
            }
        }
    }
}

const IniDocument::Section* IniDocument::findSection(QStringView section) const {
    const auto it = m_sectionIndex.constFind(fold(section));
    return it == m_sectionIndex.cend() ? nullptr : &m_sections.at(*it);
}

int IniDocument::findKey(QStringView section, QStringView key) const {
    const Section* found = findSection(section);
    if (found == nullptr) {
        return -1;
    }
    return found->keys.value(fold(key), -1);
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const {
    const int line = findKey(section, key);
    if (line < 0) {
        return std::nullopt;
    }
    return decodeValue(parseLine(m_lines.at(line)).value);
}

bool IniDocument::setValue(QStringView section, QStringView key, const QString& value) {
    if (!isWritableSection(section) || !isWritableKey(key)) {
        return false;
    }
    const QString encoded = encodeValue(value);
    const int existing = findKey(section, key);
    if (existing >= 0) {
        const QString storedKey = parseLine(m_lines.at(existing)).name.toString();
        m_lines[existing] = storedKey + u'=' + encoded;
        return true; // no line was added or removed: the index still holds
    }
    const QString entry = key.trimmed().toString() + u'=' + encoded;
    if (const Section* found = findSection(section)) {
        m_lines.insert(found->lastEntry + 1, entry);
    } else {
        if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty()) {
            m_lines.append(QString());
        }
        m_lines.append(u'[' + section.trimmed().toString() + u']');
        m_lines.append(entry);
    }
    reindex();
    return true;
}

bool IniDocument::remove(QStringView section, QStringView key) {
    const int line = findKey(section, key);
    if (line < 0) {
        return false;
    }
    m_lines.removeAt(line);
    reindex();
    return true;
}

// ---- IniFile ----------------------------------------------------------------------------------

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

IniFile::Stamp IniFile::stampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    return {true, info.size(), info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch(),
            info.fileTime(QFileDevice::FileMetadataChangeTime).toMSecsSinceEpoch()};
}

void IniFile::refresh() {
    const Stamp now = stampOf(m_path);
    if (m_loaded && now == m_stamp) {
        return;
    }
    QByteArray bytes;
    if (now.exists) {
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
        }
    }
    m_document = IniDocument::parse(bytes);
    m_stamp = now;
    m_loaded = true;
}

bool IniFile::save(const IniDocument& document) {
    if (!ensureParentDir(m_path)) {
        return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = document.serialize();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        return false;
    }
    m_document = document;
    m_stamp = stampOf(m_path);
    return true;
}

QString IniFile::value(QStringView section, QStringView key, const QString& defaultValue) {
    refresh();
    return m_document.value(section, key).value_or(defaultValue);
}

bool IniFile::contains(QStringView section, QStringView key) {
    refresh();
    return m_document.value(section, key).has_value();
}

bool IniFile::setValue(QStringView section, QStringView key, const QString& value) {
    return setValues(section, {{key.toString(), value}});
}

bool IniFile::setValues(QStringView section, const IniEntries& entries) {
    refresh();
    IniDocument changed = m_document;
    bool differs = false;
    for (const auto& [key, value] : entries) {
        if (changed.value(section, key) == value) {
            continue;
        }
        if (!changed.setValue(section, key, value)) {
            return false;
        }
        differs = true;
    }
    return !differs || save(changed);
}

bool IniFile::remove(QStringView section, QStringView key) {
    refresh();
    IniDocument changed = m_document;
    return !changed.remove(section, key) || save(changed);
}

// ---- shared cache -----------------------------------------------------------------------------

namespace {

class IniCache {
public:
    template <typename Operation> auto with(const QString& path, Operation operation) {
        QMutexLocker lock(&m_mutex);
        const QString key = QFileInfo(path).absoluteFilePath();
        auto it = m_files.find(key);
        if (it == m_files.end()) {
            if (m_files.size() >= kMaxFiles) {
                m_files.clear();
            }
            it = m_files.emplace(key, std::make_unique<IniFile>(path)).first;
        }
        return operation(*it->second);
    }

private:
    static constexpr std::size_t kMaxFiles = 64;
    QMutex m_mutex;
    std::map<QString, std::unique_ptr<IniFile>> m_files;
};

IniCache& cache() {
    static IniCache instance;
    return instance;
}

} // namespace

QString readIni(const QString& path, QStringView section, QStringView key, const QString& defaultValue) {
    return cache().with(path, [&](IniFile& file) { return file.value(section, key, defaultValue); });
}

bool writeIni(const QString& path, QStringView section, QStringView key, const QString& value) {
    return cache().with(path, [&](IniFile& file) { return file.setValue(section, key, value); });
}

bool writeIniEntries(const QString& path, QStringView section, const IniEntries& entries) {
    return cache().with(path, [&](IniFile& file) { return file.setValues(section, entries); });
}

bool removeIniKey(const QString& path, QStringView section, QStringView key) {
    return cache().with(path, [&](IniFile& file) { return file.remove(section, key); });
}

qint64 readIniNumber(const QString& path, QStringView section, QStringView key, qint64 defaultValue) {
    return cache().with(path, [&](IniFile& file) -> qint64 {
        if (!file.contains(section, key)) {
            return defaultValue;
        }
        return iniNumber(file.value(section, key));
    });
}

qint64 iniNumber(QStringView text) {
    const QStringView trimmed = text.trimmed();
    bool ok = false;
    const qint64 whole = trimmed.toLongLong(&ok);
    if (ok) {
        return whole;
    }
    const double number = trimmed.toDouble(&ok);
    constexpr double kLimit = 9.0e18;
    if (!ok || !std::isfinite(number) || std::fabs(number) >= kLimit) {
        return 0;
    }
    return static_cast<qint64>(number);
}

} // namespace tunarium
