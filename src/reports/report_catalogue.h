// The catalogue of the program's reports: for each, what the runner varies on it — where it is
// started, its title, the table and key it walks, what "Selected" matches, the record check, its
// Standard and Brief layouts and its custom-font keys. The layouts themselves are declared in
// report_layouts.cpp; report_run.h runs a report of this catalogue.
#pragma once

#include "data/dictionary.h"
#include "data/settings.h"
#include "reports/report_definition.h"

#include <QFlags>
#include <QImage>
#include <QString>
#include <QVector>

namespace tunarium {

enum class ReportFamily {
    // The "Report Criteria" window comes first; "Brief" prints the Brief layout.
    SongsWithCriteria,
    AlbumsWithCriteria,
    // "Do you wish to PREVIEW this Report?" instead; everything the filter passes is printed.
    WithoutCriteria,
};

// What a report's records are.
enum class ReportSubject { Songs, AlbumSongs, Albums, Playlist };

// What a report is about, chosen before it starts.
enum class ReportParameter { None, Category, Album, Playlist };

// What sets a report apart from the others of its family and subject.
enum class ReportFlag {
    // The records are grouped under their category's name.
    GroupedByCategory = 0x1,
    // "Select ... that start with:" names the user's label for the user-defined key.
    UserKeyNoun = 0x2,
    // The DJ's log: a few narrow columns and a blank one for notes under the user's label.
    DjLog = 0x4,
    // A chart under the logo: the playlist's name as the title, this week's and last week's places.
    ChartWithLogo = 0x8,
};
Q_DECLARE_FLAGS(ReportFlags, ReportFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ReportFlags)

struct ReportEntry {
    QString name;        // on the command line: "songs-by-artist"
    QString procedure;   // the procedure that starts it: "ReportSongsByArtist"
    QString description; // what `tunarium-cli report --list` says of it
    ReportFamily family;
    ReportSubject subject;
    TableId table;
    QString key;            // the key walked, without prefix: "SongsByArtist"
    QString noun;           // "Select " + noun + " that start with:"
    QString selectionField; // the field "Selected" matches
    bool recordCheck = false;
    bool hasBrief = false;
    // Report tags of the custom-font keys; empty where the layout has none.
    QString standardFontTag;
    QString briefFontTag;
    ReportParameter parameter = ReportParameter::None;
    // The query wizard narrows the songs (the "SONGS" list) before the walk.
    bool narrowing = false;
    ReportFlags flags;

    int keyIndex() const { return tableDef(table).keyIndex(key); }
    bool has(ReportFlag flag) const { return flags.testFlag(flag); }
    bool hasCriteria() const { return family != ReportFamily::WithoutCriteria; }
    QString fontTag(ReportLayout layout) const {
        return layout == ReportLayout::Brief ? briefFontTag : standardFontTag;
    }
};

// Every report, in the order of the menus.
const QVector<ReportEntry>& reportCatalogue();
// A report by its command-line name or its procedure name (without regard to case); null for none.
const ReportEntry* findReport(QStringView name);

// What a report's page shows besides its records: the user's labels and what the report is about.
struct ReportContext {
    QString udkLabel;                             // the user-defined key field's label (setting `UDKPrompt`)
    QString notesLabel;                           // the DJ log's notes column (setting `NotesLabel`)
    QString categoryName;                         // the category reports
    QString playlistName;                         // the playlist reports
    qint64 playlistDate = 0;                      // the playlist's last edit date, a day number
    QString datePicture = QStringLiteral("@d17"); // the user's date format
    QImage logo;                                  // the playlist with logo
};

// The layout of a report in one style (a report without a Brief layout gives its Standard one).
ReportDefinition reportLayout(const ReportEntry& decl, ReportLayout style, const ReportContext& context);

// The noun of the user-defined key report's criteria: the user's label for the key in lower case
// followed by "s", or "user defined keys" while the label is blank.
QString userDefinedKeyNoun(const QString& udkLabel);

} // namespace tunarium
