// List format strings and the saved column layout.
#include "catalogue/list_format.h"

#include "data/ini_file.h"
#include "data/pictures.h"

namespace tunarium {

namespace {

bool isJustification(QChar c) {
    const QChar u = c.toUpper();
    return u == u'L' || u == u'R' || u == u'C' || u == u'D';
}

// Position after the ")" that closes the "(" at `i`, or the end of the text.
qsizetype skipParens(const QString& text, qsizetype i) {
    const qsizetype close = text.indexOf(u')', i);
    return close < 0 ? text.size() : close + 1;
}

// Position of the next `mark` after `i`, or the end of the text.
qsizetype upTo(const QString& text, qsizetype i, QChar mark) {
    const qsizetype at = text.indexOf(mark, i);
    return at < 0 ? text.size() : at;
}

class Parser {
public:
    explicit Parser(const QString& text) : m_text(text) {}

    QVector<ListFormatColumn> run() {
        while (m_i < m_text.size()) {
            const QChar c = m_text[m_i];
            if (c == u'[') {
                m_groupFirst = static_cast<int>(m_columns.size());
                ++m_i;
            } else if (c == u']') {
                ++m_i;
                groupEnd();
            } else if (c.isDigit()) {
                column();
            } else {
                ++m_i; // nothing a column can start with
            }
        }
        return m_columns;
    }

private:
    int number() {
        const qsizetype start = m_i;
        while (m_i < m_text.size() && m_text[m_i].isDigit()) {
            ++m_i;
        }
        return m_text.mid(start, m_i - start).toInt();
    }

    // Modifiers, header and picture up to the start of the next column.
    void attributes(ListFormatColumn& col) {
        bool afterHeader = false;
        while (m_i < m_text.size()) {
            const QChar c = m_text[m_i];
            if (c.isDigit() || c == u'[' || c == u']') {
                return;
            }
            if (c == u'~') {
                const qsizetype end = upTo(m_text, m_i + 1, u'~');
                col.header = m_text.mid(m_i + 1, end - m_i - 1);
                m_i = end + 1;
                afterHeader = true;
            } else if (c == u'@') {
                const qsizetype end = upTo(m_text, m_i + 1, u'@');
                col.picture = m_text.mid(m_i, end - m_i);
                m_i = end + 1;
            } else if (c == u'(') {
                const qsizetype close = skipParens(m_text, m_i);
                const int offset = m_text.mid(m_i + 1, close - m_i - 2).toInt();
                (afterHeader ? col.headerOffset : col.offset) = offset;
                m_i = close;
            } else if (c == u'#') {
                const qsizetype end = upTo(m_text, m_i + 1, u'#');
                col.fieldNumber = m_text.mid(m_i + 1, end - m_i - 1).toInt();
                m_i = end + 1;
            } else {
                if (afterHeader && isJustification(c)) {
                    col.headerJustification = c.toUpper();
                }
                col.resizable = col.resizable || c == u'M';
                col.border = col.border || c == u'|';
                col.underline = col.underline || c == u'_';
                col.fixed = col.fixed || c == u'F';
                ++m_i;
            }
        }
    }

    void column() {
        ListFormatColumn col;
        col.widthStart = static_cast<int>(m_i);
        col.width = number();
        col.widthLength = static_cast<int>(m_i) - col.widthStart;
        if (m_i < m_text.size() && isJustification(m_text[m_i])) {
            col.justification = m_text[m_i].toUpper();
            ++m_i;
        }
        col.headerJustification = col.justification;
        attributes(col);
        m_columns << col;
    }

    void groupEnd() {
        if (m_i < m_text.size() && m_text[m_i] == u'(') {
            m_i = skipParens(m_text, m_i);
        }
        ListFormatColumn group;
        attributes(group);
        if (m_groupFirst >= 0 && m_groupFirst < m_columns.size() &&
            m_columns[m_groupFirst].header.isEmpty()) {
            m_columns[m_groupFirst].header = group.header;
        }
        m_groupFirst = -1;
    }

    const QString& m_text;
    qsizetype m_i = 0;
    int m_groupFirst = -1;
    QVector<ListFormatColumn> m_columns;
};

} // namespace

ListFormat ListFormat::parse(const QString& text) {
    ListFormat f;
    f.m_text = text;
    f.m_columns = Parser(text).run();
    return f;
}

ListFormat ListFormat::withWidths(const QVector<int>& widths) const {
    QString text = m_text;
    // From the last column back, so that earlier offsets stay valid.
    for (qsizetype i = std::min(widths.size(), m_columns.size()) - 1; i >= 0; --i) {
        const ListFormatColumn& c = m_columns[i];
        text.replace(c.widthStart, c.widthLength, QString::number(std::max(0, widths[i])));
    }
    return parse(text);
}

QString formatColumnText(const ListFormatColumn& c) {
    QString text = QString::number(c.width) + c.justification + u'(' + QString::number(c.offset) + u')';
    text += c.border ? QStringLiteral("|") : QString();
    text += c.resizable ? QStringLiteral("M") : QString();
    text += c.underline ? QStringLiteral("_") : QString();
    text += c.fixed ? QStringLiteral("F") : QString();
    QString header = c.header;
    header.remove(QChar(u'~'));
    text += u'~' + header + u'~' + c.headerJustification + u'(' + QString::number(c.headerOffset) + u')';
    QString picture = c.picture;
    picture.remove(QChar(u'@'));
    text += u'@' + picture + u'@';
    if (c.fieldNumber > 0) {
        text += u'#' + QString::number(c.fieldNumber) + u'#';
    }
    return text;
}

QString formatText(const QVector<ListFormatColumn>& columns) {
    QString text;
    for (const ListFormatColumn& c : columns) {
        text += formatColumnText(c);
    }
    return text;
}

QString replaceDatePictures(const QString& format, const QString& datePicture) {
    QString out;
    qsizetype i = 0;
    for (;;) {
        const qsizetype at = format.indexOf(QStringLiteral("@D"), i, Qt::CaseInsensitive);
        if (at < 0) {
            out += QStringView(format).mid(i);
            return out;
        }
        out += QStringView(format).mid(i, at - i);
        out += datePicture;
        i = upTo(format, at + 1, u'@');
    }
}

QVector<int> formatColumnFields(const ListFormat& format, int fieldCount) {
    QVector<int> fields;
    QVector<bool> seen(std::max(0, fieldCount), false);
    for (int i = 0; i < format.columns().size(); ++i) {
        const ListFormatColumn& c = format.columns()[i];
        const int field = c.fieldNumber > 0 ? c.fieldNumber - 1 : i;
        if (field < 0 || field >= fieldCount || seen[field] || c.width < 1 || c.width > kMaxColumnWidth) {
            return {};
        }
        seen[field] = true;
        fields << field;
    }
    return fields;
}

namespace {

bool isDateColumn(const ListFormatColumn& column) {
    return pictureKind(column.picture) == u'D';
}

} // namespace

QVector<int> keptListColumns(const ListFormat& kept, const ListFormat& design) {
    const auto count = static_cast<int>(design.columns().size());
    if (kept.columns().size() != count) {
        return {};
    }
    const QVector<int> fields = formatColumnFields(kept, count);
    for (int i = 0; i < fields.size(); ++i) {
        const ListFormatColumn& meant = design.columns()[fields[i]];
        // A column that shows a value through another picture was made for another column.
        if (!isDateColumn(meant) && kept.columns()[i].picture.compare(meant.picture, Qt::CaseInsensitive) != 0) {
            return {};
        }
    }
    return fields;
}

bool sameDesign(const QString& stored, const QString& design) {
    if (stored == design) {
        return true;
    }
    QVector<ListFormatColumn> a = ListFormat::parse(stored).columns();
    QVector<ListFormatColumn> b = ListFormat::parse(design).columns();
    if (a.size() != b.size() || b.isEmpty()) {
        return false;
    }
    for (int i = 0; i < b.size(); ++i) {
        if (isDateColumn(b[i])) {
            a[i].picture.clear();
            b[i].picture.clear();
        }
    }
    return formatText(a) == formatText(b);
}

QString withDatePicture(const ListFormat& format, const QVector<int>& fields, const ListFormat& design,
                        const QString& datePicture) {
    if (datePicture.isEmpty()) {
        return format.text();
    }
    QVector<ListFormatColumn> columns = format.columns();
    bool changed = false;
    for (int i = 0; i < columns.size() && i < fields.size(); ++i) {
        const int meant = fields[i];
        if (meant >= 0 && meant < design.columns().size() && isDateColumn(design.columns()[meant])) {
            QString picture = datePicture;
            picture.remove(QChar(u'@'));
            QString shown = columns[i].picture;
            shown.remove(QChar(u'@'));
            if (shown != picture) {
                columns[i].picture = u'@' + picture;
                changed = true;
            }
        }
    }
    return changed ? formatText(columns) : format.text();
}

QString formatWithColumnMoved(const ListFormat& format, const QVector<int>& fields, int from, int to) {
    QVector<ListFormatColumn> columns = format.columns();
    const auto count = static_cast<int>(columns.size());
    for (int i = 0; i < count && i < fields.size(); ++i) {
        columns[i].fieldNumber = fields[i] + 1;
    }
    if (from >= 0 && from < count && to >= 0 && to < count) {
        columns.move(from, to);
    }
    return formatText(columns);
}

ListLayout restoreListLayout(const ListLayoutKeys& keys, const QString& designFormat, const QString& datePicture) {
    const ListFormat design = ListFormat::parse(designFormat);
    ListLayout layout{datePicture.isEmpty() ? designFormat : replaceDatePictures(designFormat, datePicture), {}};
    for (int i = 0; i < design.columns().size(); ++i) {
        layout.columns << i;
    }
    const QString original = readIni(keys.positionFile, keys.section, keys.originalKey());
    if (!sameDesign(original, designFormat)) {
        writeIni(keys.positionFile, keys.section, keys.originalKey(), designFormat);
        return layout;
    }
    const QString saved = readIni(keys.positionFile, keys.section, keys.savedKey()).trimmed();
    if (saved.isEmpty()) {
        return layout;
    }
    const ListFormat kept = ListFormat::parse(saved);
    const QVector<int> columns = keptListColumns(kept, design);
    if (columns.isEmpty()) {
        // It would show the wrong values, or columns nobody can reach: it goes for good.
        removeIniKey(keys.positionFile, keys.section, keys.savedKey());
        return layout;
    }
    return {withDatePicture(kept, columns, design, datePicture), columns};
}

QString restoreListFormat(const ListLayoutKeys& keys, const QString& designFormat) {
    return restoreListLayout(keys, designFormat).format;
}

bool saveListFormat(const ListLayoutKeys& keys, const QString& format) {
    return writeIni(keys.positionFile, keys.section, keys.savedKey(), format);
}

} // namespace tunarium
