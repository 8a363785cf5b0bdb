// The import field list and target list, and what the assignment window's buttons do to them.
#include "exchange/import_setup.h"

#include "data/pictures.h"

#include <QFileInfo>

#include <cerrno>

namespace tunarium {

namespace {

constexpr int kValueWidth = 100;
constexpr int kPictureWidth = 30;

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

ImportSetup::ImportSetup() {
    for (const QString& name : importTargetNames()) {
        m_targets.push_back({name, {}, {}});
    }
}

ImportSetup::~ImportSetup() = default;

ImportSetup::OpenResult ImportSetup::open(const QString& path) {
    m_path = path;
    m_fields.clear();
    m_openError = {};
    m_record = 1;
    m_nextEnabled = true;
    m_autoEnabled = true;
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
        m_fields.push_back({name, importPictureText(QString::fromLatin1(kImportTextPicture)), value.left(kValueWidth),
                            QString::fromLatin1(kImportTextPicture)});
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
    m_fields[field].picture = picture.left(kPictureWidth);
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

void ImportSetup::autoAssign() {
    if (!m_autoEnabled) {
        return;
    }
    const int categoryColumn = [this] {
        for (int i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].value == QLatin1String("CAT:Category")) {
                return i;
            }
        }
        return -1;
    }();
    for (int t = 0; t < m_targets.size(); ++t) {
        ImportTarget& target = m_targets[t];
        if (!target.sourceField.isEmpty()) {
            continue;
        }
        // The category target takes names; a file of ours carries them in its CAT:Category column.
        int source = target.field == QLatin1String("TUN:CategoryID") ? categoryColumn : -1;
        for (int f = 0; source < 0 && f < m_fields.size(); ++f) {
            if (m_fields[f].value == target.field) {
                source = f;
            }
        }
        if (source < 0) {
            continue;
        }
        assign(t, source);
        const QString picture = exportedPicture(target.field);
        if (!picture.isEmpty()) {
            setPicture(source, picture);
        }
    }
    m_stripHeader = true;
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
