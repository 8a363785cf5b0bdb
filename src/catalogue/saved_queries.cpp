// Saved queries as JSON: reading that survives any damage, and atomic replacement.
#include "catalogue/saved_queries.h"

#include "catalogue/query_wizard_setup.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <optional>

namespace tunarium {

namespace {

constexpr int kFormatVersion = 1;
// Far beyond any real file; a larger one is not read into memory.
constexpr qint64 kMostBytes = 8 * 1024 * 1024;

const QString kKeyQueries = QStringLiteral("queries");
const QString kKeyList = QStringLiteral("list");
const QString kKeyDescription = QStringLiteral("description");
const QString kKeyManual = QStringLiteral("manual");
const QString kKeyText = QStringLiteral("text");
const QString kKeyElements = QStringLiteral("elements");
const QString kKeyJoin = QStringLiteral("join");
const QString kKeyField = QStringLiteral("field");
const QString kKeyOperator = QStringLiteral("operator");
const QString kKeySource = QStringLiteral("source");
const QString kKeyValue = QStringLiteral("value");
const QString kKeyCaseSensitive = QStringLiteral("caseSensitive");

QJsonObject elementJson(const QueryElement& e) {
    return {
        {kKeyJoin, e.join == QueryJoin::And ? QStringLiteral("AND") : QStringLiteral("OR")},
        {kKeyField, e.field},
        {kKeyOperator, static_cast<int>(e.op)},
        {kKeySource, static_cast<int>(e.source)},
        {kKeyValue, e.value},
        {kKeyCaseSensitive, e.caseSensitive},
    };
}

QJsonObject queryJson(const SavedQuery& q) {
    QJsonArray elements;
    for (const QueryElement& e : q.query.elements) {
        elements.append(elementJson(e));
    }
    return {
        {kKeyList, q.list},           {kKeyDescription, q.description},
        {kKeyManual, q.query.manual}, {kKeyText, q.query.manualText},
        {kKeyElements, elements},
    };
}

std::optional<int> intIn(const QJsonValue& v, int low, int high) {
    if (!v.isDouble()) {
        return std::nullopt;
    }
    const double d = v.toDouble();
    // Range first: converting a double beyond int is undefined.
    if (!(d >= low && d <= high) || d != static_cast<int>(d)) {
        return std::nullopt;
    }
    return static_cast<int>(d);
}

std::optional<QueryElement> elementFrom(const QJsonValue& value) {
    const QJsonObject o = value.toObject();
    const QString join = o.value(kKeyJoin).toString();
    const auto op = intIn(o.value(kKeyOperator), static_cast<int>(QueryOperator::IsEqualTo),
                          static_cast<int>(QueryOperator::IsNotChecked));
    const auto source = intIn(o.value(kKeySource), static_cast<int>(QueryValueSource::Constant),
                              static_cast<int>(QueryValueSource::AnotherField));
    if (!value.isObject() || (join != u"AND" && join != u"OR") || !o.value(kKeyField).isString() || !op ||
        !source || !o.value(kKeyValue).isString() || !o.value(kKeyCaseSensitive).isBool()) {
        return std::nullopt;
    }
    QueryElement e;
    e.join = join == u"AND" ? QueryJoin::And : QueryJoin::Or;
    e.field = o.value(kKeyField).toString();
    e.op = static_cast<QueryOperator>(*op);
    e.source = static_cast<QueryValueSource>(*source);
    e.value = o.value(kKeyValue).toString();
    e.caseSensitive = o.value(kKeyCaseSensitive).toBool();
    return e;
}

std::optional<SavedQuery> queryFrom(const QJsonValue& value) {
    const QJsonObject o = value.toObject();
    if (!value.isObject() || !o.value(kKeyList).isString() || !o.value(kKeyDescription).isString() ||
        o.value(kKeyDescription).toString().trimmed().isEmpty() || !o.value(kKeyManual).isBool() ||
        !o.value(kKeyText).isString() || !o.value(kKeyElements).isArray()) {
        return std::nullopt;
    }
    SavedQuery q;
    q.list = o.value(kKeyList).toString();
    q.description = o.value(kKeyDescription).toString();
    q.query.manual = o.value(kKeyManual).toBool();
    q.query.manualText = o.value(kKeyText).toString();
    for (const QJsonValue& e : o.value(kKeyElements).toArray()) {
        const std::optional<QueryElement> element = elementFrom(e);
        if (!element) {
            return std::nullopt;
        }
        q.query.elements << *element;
    }
    return q;
}

} // namespace

QString savedQueryFilePath(const QString& collectionDir) {
    QString name = queryWizardSetup().fileName;
    if (name.isEmpty()) {
        name = QString::fromLatin1(kSavedQueryFileName);
    }
    return QDir(collectionDir).filePath(name);
}

SavedQueryFile readSavedQueries(const QString& path) {
    SavedQueryFile out;
    QFile file(path);
    if (!file.exists()) {
        return out;
    }
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMostBytes) {
        out.damaged = true;
        return out;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(kMostBytes), &error);
    const QJsonValue list = doc.object().value(kKeyQueries);
    if (error.error != QJsonParseError::NoError || !doc.isObject() || !list.isArray()) {
        out.damaged = true;
        return out;
    }
    for (const QJsonValue& entry : list.toArray()) {
        std::optional<SavedQuery> q = queryFrom(entry);
        if (q && findSavedQuery(out.queries, q->list, q->description) < 0) {
            out.queries << std::move(*q);
        } else {
            out.damaged = true;
        }
    }
    return out;
}

bool writeSavedQueries(const QString& path, const QVector<SavedQuery>& queries, QString* error) {
    QJsonArray list;
    for (const SavedQuery& q : queries) {
        list.append(queryJson(q));
    }
    const QJsonObject root{{QStringLiteral("version"), kFormatVersion}, {kKeyQueries, list}};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0 || !file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

int findSavedQuery(const QVector<SavedQuery>& queries, const QString& list, const QString& description) {
    for (int i = 0; i < queries.size(); ++i) {
        if (queries[i].list.compare(list, Qt::CaseInsensitive) == 0 &&
            queries[i].description.trimmed().compare(description.trimmed(), Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

} // namespace tunarium
