// The import field list and target list, and what the assignment window's buttons do to them.
#include "exchange/import_setup.h"

#include "data/pictures.h"

#include <QFileInfo>
#include <QHash>

#include <cerrno>

namespace tunarium {

namespace {

constexpr int kValueWidth = 100;

// The picture an export writes a date or time field with: a file's own header then reads back.
QString exportedPicture(const QString& target) {
    if (target == QLatin1String("TUN:ReleaseDate")) {
        return QStringLiteral("@d2");
    }
    if (target == QLatin1String("TUN:Time")) {
        return QStringLiteral("@t4");
    }
    if (target == QLatin1String("TUN:LastPlayed")) {
        return QStringLiteral("@d17-");
    }
    return {};
}

} // namespace

QString importPictureText(const QString& picture) {
    const QChar kind = pictureKind(picture);
    if (kind == u'S') {
        return QStringLiteral("Alpha-num");
    }
    if (kind == u'N') {
        return QStringLiteral("Numeric");
    }
    return picture;
}

const QStringList& importTargetNames() {
    static const QStringList names = {
        QStringLiteral("TUN:Artist"),
        QStringLiteral("TUN:Title"),
        QStringLiteral("TUN:Mix"),
        QStringLiteral("TUN:Album"),
        QStringLiteral("TUN:Media"),
        QStringLiteral("TUN:FileNumber"),
        QStringLiteral("TUN:ReleaseDate"),
        QStringLiteral("TUN:CategoryID"),
        QStringLiteral("TUN:ChartNumber"),
        QStringLiteral("TUN:TrackNumber"),
        QStringLiteral("TUN:Side"),
        QStringLiteral("TUN:Time"),
        QStringLiteral("TUN:UserDefinedKeyField"),
        QStringLiteral("TUN:AdditionalInformation1"),
        QStringLiteral("TUN:AdditionalInformation2"),
        QStringLiteral("TUN:AdditionalInformation3"),
        QStringLiteral("TUN:BeatsPerMinute"),
        QStringLiteral("TUN:Style"),
        QStringLiteral("TUN:Recording"),
        QStringLiteral("TUN:Composer"),
        QStringLiteral("TUN:PerformanceNotes"),
        QStringLiteral("TUN:LastPlayed"),
        QStringLiteral("TUN:Skips"),
        QStringLiteral("TUN:EndType"),
        QStringLiteral("TUN:InOut"),
        QStringLiteral("TUN:Notes"),
        QStringLiteral("TUN:Rating"),
        QStringLiteral("TUN:Live"),
        QStringLiteral("TUN:DoNotPlay"),
    };
    return names;
}

const QVector<ImportMediaCode>& importMediaCodes() {
    // The names are those the Media table is seeded with, so that an imported song passes the
    // song form's media check.
    static const QVector<ImportMediaCode> codes = {
        {QStringLiteral("D"), QStringLiteral("Cassette (DBX)")},
        {QStringLiteral("C"), QStringLiteral("Cassette (Dolby C)")},
        {QStringLiteral("B"), QStringLiteral("Cassette (Dolby B)")},
    };
    return codes;
}

ImportSetup::ImportSetup() {
    for (const QString& name : importTargetNames()) {
        m_targets.push_back({name, {}, {}});
    }
}

ImportSetup::~ImportSetup() = default;

ImportSetup::OpenResult ImportSetup::open(const QString& path, const QString& collectionDir) {
    m_path = path;
    m_fields.clear();
    m_openError = {};
    m_record = 1;
    m_nextEnabled = true;
    m_autoEnabled = true;
    // A directory or a device is refused before it is opened: reading one says nothing useful.
    m_openError = notAFileError(path);
    if (m_openError.ok() && !collectionDir.isEmpty() && isCollectionFile(path, collectionDir)) {
        m_openError = collectionFileError(path, FileUse::Import);
    }
    if (!m_openError.ok()) {
        m_reader.reset();
        return OpenResult::CannotOpen;
    }
    m_reader = std::make_unique<DelimitedReader>();
    if (!m_reader->open(path)) {
        int err = m_reader->openErrno();
        if (err == 0) {
            err = QFileInfo::exists(path) ? EACCES : ENOENT;
        }
        m_openError = fileErrorFromErrno(err);
        m_reader.reset();
        return OpenResult::CannotOpen;
    }
    if (m_reader->size() == 0) {
        m_reader.reset();
        return OpenResult::Empty;
    }
    QString line;
    if (!m_reader->readLine(line)) {
        m_reader.reset();
        return OpenResult::NoLines;
    }
    DelimitedLine first(line);
    QString value;
    while (first.next(value) != DelimitedField::None) {
        const QString name = QStringLiteral("Field_") + QString::number(m_fields.size() + 1);
        m_fields.push_back({name, importPictureText(QString::fromLatin1(kImportTextPicture)),
                            value.left(kValueWidth), QString::fromLatin1(kImportTextPicture)});
    }
    // A field the second line carries unquoted is taken for a number.
    if (m_reader->readLine(line)) {
        DelimitedLine second(line);
        for (ImportField& field : m_fields) {
            if (second.next(value) == DelimitedField::Unquoted) {
                field.picture = QString::fromLatin1(kImportNumberPicture);
                field.displayPicture = importPictureText(field.picture);
            }
        }
    }
    m_reader->rewind();
    m_reader->readLine(line);
    return OpenResult::Ok;
}

void ImportSetup::showLine(const QString& line) {
    DelimitedLine fields(line);
    QString value;
    for (ImportField& field : m_fields) {
        if (fields.next(value) == DelimitedField::None) {
            continue;
        }
        field.value = value.left(kValueWidth);
    }
}

bool ImportSetup::next() {
    QString line;
    if (!m_nextEnabled || !m_reader || !m_reader->readLine(line)) {
        m_nextEnabled = false;
        return false;
    }
    ++m_record;
    showLine(line);
    m_autoEnabled = false;
    return true;
}

void ImportSetup::setPicture(int field, const QString& picture) {
    if (field < 0 || field >= m_fields.size() || picture.trimmed().isEmpty()) {
        return;
    }
    m_fields[field].picture = picture.left(kExchangePictureWidth);
    m_fields[field].displayPicture = importPictureText(m_fields[field].picture);
}

void ImportSetup::assign(int target, int field) {
    if (target < 0 || target >= m_targets.size() || field < 0 || field >= m_fields.size()) {
        return;
    }
    m_targets[target].equals = QStringLiteral("=");
    m_targets[target].sourceField = m_fields[field].field;
}

void ImportSetup::unassign(int target) {
    if (target < 0 || target >= m_targets.size()) {
        return;
    }
    m_targets[target].equals.clear();
    m_targets[target].sourceField.clear();
}

namespace {

// A text of a first line as it is compared with the names of the song fields: without regard to
// case and blanks, a mnemonic "&" or a closing ":".
QString headerKey(const QString& text) {
    QString key;
    key.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace() && c != u'&') {
            key += c.toCaseFolded();
        }
    }
    while (key.endsWith(u':')) {
        key.chop(1);
    }
    return key;
}

// The plain names a first line may give a target by, beside its own ("TUN:Artist"): the field's
// name without its prefix and the prompt the song form shows for it, as header keys.
const QHash<QString, QString>& plainTargetNames() {
    static const QHash<QString, QString> names = [] {
        const QList<QPair<const char*, const char*>> prompts = {
            {"TUN:FileNumber", "File Number"},
            {"TUN:ReleaseDate", "Release Date"},
            {"TUN:ChartNumber", "Highest Chart Number"},
            {"TUN:TrackNumber", "Track Number"},
            {"TUN:Side", "Side/Disc"},
            {"TUN:BeatsPerMinute", "Beats Per Minute"},
            {"TUN:InOut", "In/Out"},
            {"TUN:EndType", "Type of Ending"},
            {"TUN:DoNotPlay", "Do Not Play"},
            {"TUN:Recording", "Recording Information"},
            {"TUN:PerformanceNotes", "Performance Notes"},
            {"TUN:UserDefinedKeyField", "User Defined Key Field"},
            {"TUN:AdditionalInformation1", "Additional Information 1"},
            {"TUN:AdditionalInformation2", "Additional Information 2"},
            {"TUN:AdditionalInformation3", "Additional Information 3"},
        };
        QHash<QString, QString> out;
        for (const QString& target : importTargetNames()) {
            out.insert(headerKey(target.mid(4)), target);
        }
        for (const auto& [target, prompt] : prompts) {
            out.insert(headerKey(QString::fromLatin1(prompt)), QString::fromLatin1(target));
        }
        // The category's prompt shows its name, which is what the target takes.
        out.insert(headerKey(QStringLiteral("Category")), QStringLiteral("TUN:CategoryID"));
        return out;
    }();
    return names;
}

} // namespace

void ImportSetup::autoAssign() {
    if (!m_autoEnabled) {
        return;
    }
    // Per import field, the target its first-line text names: by the target's own name, or by a
    // plain name (then `plain` is set).
    struct Named {
        QString target;
        bool plain = false;
        bool categoryName = false; // names the category by its name, not its number
    };
    QVector<Named> named(m_fields.size());
    int prefixed = 0;
    int plain = 0;
    for (int f = 0; f < m_fields.size(); ++f) {
        const QString key = headerKey(m_fields[f].value);
        if (key == headerKey(QStringLiteral("CAT:Category"))) {
            named[f] = {QStringLiteral("TUN:CategoryID"), false, true};
        } else if (const int t = targetIndex(m_fields[f].value.trimmed()); t >= 0) {
            named[f] = {m_targets[t].field, false, false};
        } else if (const auto it = plainTargetNames().constFind(key); it != plainTargetNames().constEnd()) {
            named[f] = {it.value(), true, key == headerKey(QStringLiteral("Category"))};
        } else {
            continue;
        }
        ++(named[f].plain ? plain : prefixed);
    }
    // One song field name such as "TUN:Artist" marks a header line of ours; plain names need two,
    // so that a line of songs whose title happens to be "Time" is not taken for one.
    const bool header = prefixed > 0 || plain > 1;
    if (header) {
        for (int t = 0; t < m_targets.size(); ++t) {
            ImportTarget& target = m_targets[t];
            if (!target.sourceField.isEmpty()) {
                continue;
            }
            // The category target takes names: a column of them goes before one of numbers.
            int source = -1;
            for (int pass = 0; pass < 2 && source < 0; ++pass) {
                for (int f = 0; f < m_fields.size() && source < 0; ++f) {
                    const bool namesIt = named[f].target == target.field;
                    if (namesIt && (pass == 1 || named[f].categoryName)) {
                        source = f;
                    }
                }
            }
            if (source < 0) {
                continue;
            }
            assign(t, source);
            // A file of ours writes dates and times through these pictures; a plain header says
            // nothing of how its values are written.
            const QString picture = named[source].plain ? QString() : exportedPicture(target.field);
            if (!picture.isEmpty()) {
                setPicture(source, picture);
            }
        }
    }
    m_stripHeader = header;
}

bool ImportSetup::anyAssigned() const {
    for (const ImportTarget& t : m_targets) {
        if (!t.sourceField.isEmpty()) {
            return true;
        }
    }
    return false;
}

int ImportSetup::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].field == name) {
            return i;
        }
    }
    return -1;
}

int ImportSetup::targetIndex(const QString& name) const {
    for (int i = 0; i < m_targets.size(); ++i) {
        if (m_targets[i].field.compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

int ImportSetup::fieldOfTarget(int target) const {
    if (target < 0 || target >= m_targets.size()) {
        return -1;
    }
    return fieldIndex(m_targets[target].sourceField);
}

int ImportSetup::firstTargetOf(int field) const {
    if (field < 0 || field >= m_fields.size()) {
        return -1;
    }
    for (int t = 0; t < m_targets.size(); ++t) {
        if (m_targets[t].sourceField == m_fields[field].field) {
            return t;
        }
    }
    return -1;
}

std::unique_ptr<DelimitedReader> ImportSetup::takeReader() {
    return std::move(m_reader);
}

ImportPlan ImportSetup::plan() const {
    ImportPlan plan;
    plan.path = m_path;
    for (const ImportField& f : m_fields) {
        plan.pictures << f.picture;
    }
    for (int t = 0; t < m_targets.size(); ++t) {
        plan.targetSources << fieldOfTarget(t);
    }
    plan.stripHeader = m_stripHeader;
    return plan;
}

} // namespace tunarium
