// INI documents: any bytes parse; what a document says does not change when it is written out and
// read again; a key that is written reads back as written (line breaks as blanks), every other
// key keeps its value, and a key that cannot be written leaves the document as it was.
//
// Input: the document, then optionally a NUL and edits separated by NULs, each "section^Akey^Avalue"
// (^A is the byte 1); an edit without a value removes the key.
#include "data/ini_file.h"
#include "fuzz_support.h"

#include <QMap>

using namespace tunarium;
using namespace tunarium::fuzz;

namespace {

constexpr int kMaxNames = 16;
constexpr int kMaxEdits = 8;

struct Edit {
    QString section;
    QString key;
    std::optional<QString> value;
};

// Sections and keys compare trimmed and without regard to case.
QString identity(const QString& section, const QString& key) {
    return section.trimmed().toCaseFolded() + QChar(0) + key.trimmed().toCaseFolded();
}

// Names a document may hold, picked loosely from its lines; names it does not hold read as absent.
void collectNames(const QString& text, QStringList& sections, QStringList& keys) {
    for (const QString& line : text.split(u'\n')) {
        const qsizetype open = line.indexOf(u'[');
        const qsizetype close = line.indexOf(u']', open + 1);
        if (open >= 0 && close > open && sections.size() < kMaxNames) {
            sections << line.mid(open + 1, close - open - 1);
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && keys.size() < kMaxNames) {
            keys << line.left(equals);
        }
    }
}

using Snapshot = QMap<QString, QString>;

Snapshot snapshot(const IniDocument& document, const QStringList& sections, const QStringList& keys) {
    Snapshot values;
    for (const QString& section : sections) {
        for (const QString& key : keys) {
            if (const auto value = document.value(section, key)) {
                values.insert(identity(section, key), *value);
            }
        }
    }
    return values;
}

bool representable(const Edit& edit) {
    const QString section = edit.section.trimmed();
    const QString key = edit.key.trimmed();
    const auto lineBreak = [](const QString& text) { return text.contains(u'\n') || text.contains(u'\r'); };
    return !section.isEmpty() && !section.contains(u']') && !lineBreak(section) && !key.isEmpty() &&
           !key.contains(u'=') && !lineBreak(key) && !key.startsWith(u'[') && !key.startsWith(u';');
}

QString asRead(QString value) {
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

void checkOthersKept(const Snapshot& before, const Snapshot& after, const QString& changed) {
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key() != changed) {
            check(after.value(it.key()) == it.value(), "a write changes no other key", it.key());
        }
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        check(it.key() == changed || before.contains(it.key()), "a write adds no other key", it.key());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = bytesOf(data, size);
    const qsizetype nul = input.indexOf('\0');
    const QByteArray documentBytes = nul < 0 ? input : input.left(nul);
    QVector<Edit> edits;
    if (nul >= 0) {
        for (const QByteArray& record : input.mid(nul + 1).split('\0')) {
            if (edits.size() == kMaxEdits) {
                break;
            }
            const QList<QByteArray> parts = record.split('\1');
            Edit edit{QString::fromUtf8(parts.value(0)), QString::fromUtf8(parts.value(1)), std::nullopt};
            if (parts.size() >= 3) {
                edit.value = QString::fromUtf8(parts.mid(2).join('\1'));
            }
            edits << edit;
        }
    }

    IniDocument document = IniDocument::parse(documentBytes);
    QStringList sections;
    QStringList keys;
    collectNames(QString::fromLatin1(documentBytes), sections, keys);
    collectNames(QString::fromUtf8(documentBytes), sections, keys);
    for (const Edit& edit : edits) {
        sections << edit.section;
        keys << edit.key;
    }

    Snapshot values = snapshot(document, sections, keys);
    check(snapshot(IniDocument::parse(document.serialize()), sections, keys) == values,
          "a document written out reads back the same", QString::fromUtf8(document.serialize()));
    for (const QString& value : values) {
        (void)iniNumber(value);
    }

    for (const Edit& edit : edits) {
        const QByteArray before = document.serialize();
        const QString changed = identity(edit.section, edit.key);
        if (!edit.value) {
            const bool wasThere = values.contains(changed);
            check(document.remove(edit.section, edit.key) == wasThere,
                  "a removal says whether the key was there", edit.key);
            const Snapshot after = snapshot(document, sections, keys);
            checkOthersKept(values, after, changed);
            values = after;
            continue;
        }
        const bool written = document.setValue(edit.section, edit.key, *edit.value);
        check(written == representable(edit), "a key is refused only when the file cannot hold it",
              edit.section + QStringLiteral(" / ") + edit.key);
        if (!written) {
            check(document.serialize() == before, "a refused write leaves the document as it was");
            continue;
        }
        const QString expected = asRead(*edit.value);
        check(document.value(edit.section, edit.key) == expected, "a written key reads back", *edit.value);
        const IniDocument reread = IniDocument::parse(document.serialize());
        check(reread.value(edit.section, edit.key) == expected, "a written key reads back from the file",
              QString::fromUtf8(document.serialize()));
        const Snapshot after = snapshot(document, sections, keys);
        check(snapshot(reread, sections, keys) == after, "the whole document reads back from the file",
              QString::fromUtf8(document.serialize()));
        checkOthersKept(values, after, changed);
        values = after;
    }
    return 0;
}
