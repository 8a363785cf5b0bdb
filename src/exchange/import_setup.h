// The assignment of an import: the fields of the file's lines (the import field list) and the
// song fields that can receive them (the target list), as the window "Assign fields for
// Import..." shows and changes them. No widgets here: the window and the command line both work
// through this class.
#pragma once

#include "exchange/delimited.h"
#include "exchange/exchange_files.h"

#include <QVector>

#include <memory>

namespace tunarium {

inline constexpr char kImportTextPicture[] = "@S1000";
inline constexpr char kImportNumberPicture[] = "@N30.9";

// One row of the import field list.
struct ImportField {
    QString field;          // "Field_3"
    QString displayPicture; // "Alpha-num", "Numeric", or the picture itself
    QString value;          // the field's text in the line shown
    QString picture;        // the picture the field is read through
};

// One row of the target list.
struct ImportTarget {
    QString field;       // "TUN:Artist"
    QString equals;      // "=" when assigned
    QString sourceField; // "Field_3", blank when none
};

// "Alpha-num" for a picture whose second character is S or s, "Numeric" for N or n, otherwise the
// picture itself.
QString importPictureText(const QString& picture);

// The 29 song fields an import can fill, in list order.
const QStringList& importTargetNames();

// The short codes of the cassette formats that an imported media value may be ("D", "C", "B"),
// each with the name of the format as the Media table holds it. A code is matched exactly: "c"
// stays "c".
struct ImportMediaCode {
    QString code;
    QString media;
};
const QVector<ImportMediaCode>& importMediaCodes();

struct ImportPlan;

class ImportSetup {
public:
    enum class OpenResult { Ok, CannotOpen, Empty, NoLines };

    ImportSetup();
    ~ImportSetup();

    // Opens the file and builds both lists from its first two lines; line 1 is then shown.
    // CannotOpen: openError() tells why. Empty: a file of 0 bytes. NoLines: nothing to show.
    // The files of the collection in `collectionDir` are refused unopened: a descriptor of the
    // collection's file opened and closed in this process would drop the locks SQLite holds on it.
    OpenResult open(const QString& path, const QString& collectionDir = {});
    const FileError& openError() const { return m_openError; }
    const QString& path() const { return m_path; }

    const QVector<ImportField>& fields() const { return m_fields; }
    const QVector<ImportTarget>& targets() const { return m_targets; }
    int recordNumber() const { return m_record; }
    bool nextEnabled() const { return m_nextEnabled; }
    bool autoEnabled() const { return m_autoEnabled; }
    bool stripHeader() const { return m_stripHeader; }
    void setStripHeader(bool strip) { m_stripHeader = strip; }

    // &Next: shows the next line. False (and &Next disabled) when there is none.
    bool next();
    // &Picture's result: a non-blank picture becomes the field's; a blank one changes nothing.
    void setPicture(int field, const QString& picture);
    // &Assign and &Unassign; rows out of range do nothing.
    void assign(int target, int field);
    void unassign(int target);
    // A&uto: every target without a source takes the first field whose value is the target's name
    // (a file's own header; the category target prefers a "CAT:Category" column, and a date or
    // time target gives its field the picture an export writes it with). Ticks the header box.
    void autoAssign();
    bool anyAssigned() const;

    // Partners between the lists: the field feeding a target, the first target a field feeds;
    // -1 when none.
    int fieldOfTarget(int target) const;
    int firstTargetOf(int field) const;
    int fieldIndex(const QString& name) const;
    int targetIndex(const QString& name) const;

    // Hands the open file and the assignment to the run; the setup is spent afterwards.
    std::unique_ptr<DelimitedReader> takeReader();
    ImportPlan plan() const;

private:
    void showLine(const QString& line);

    std::unique_ptr<DelimitedReader> m_reader;
    QString m_path;
    FileError m_openError;
    QVector<ImportField> m_fields;
    QVector<ImportTarget> m_targets;
    int m_record = 1;
    bool m_nextEnabled = true;
    bool m_autoEnabled = true;
    bool m_stripHeader = false;
};

// What the run needs from the assignment: each import field's picture and, per target, the
// index of the field feeding it (-1 when none).
struct ImportPlan {
    QString path;
    QStringList pictures;
    QVector<int> targetSources;
    bool stripHeader = false;
};

} // namespace tunarium
