// The records of a report, read one at a time in the report's order. Each report of the catalogue
// supplies one: a walk of its table by its key, with its filter and its record check.
#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

namespace tunarium {

class ReportRecordSource {
public:
    virtual ~ReportRecordSource() = default;

    // The number by which value() gives a field; -1 for a name the source does not know. Asked
    // once per field before the walk.
    virtual int fieldIndex(QStringView name) const = 0;
    // Positions the walk on the first record; false when there is none or the walk could not be
    // opened (error() then says why).
    virtual bool first() = 0;
    // Reads on to the next record; false at the end, or on a read error (error() says which).
    virtual bool next() = 0;
    // A field of the current record.
    virtual QVariant value(int field) const = 0;
    // Whether the current record is printed at all: the record check of reports that leave some
    // records out. A record passed over still counts as read.
    virtual bool passes() const { return true; }
    // The count the progress is measured against: the records of the report's table; 0 when not
    // known.
    virtual qint64 total() const { return 0; }
    // Why the walk could not be opened or ended before its last record; empty when it did not.
    virtual QString error() const { return {}; }
};

} // namespace tunarium
