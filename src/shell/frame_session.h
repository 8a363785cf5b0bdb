// What the application frame does with the collection and the settings, apart from its window:
// the counted open of the tables it keeps open, the seeding of the media formats, the version
// kept in the settings, the settings loader, the album question and the logo picture.
#pragma once

#include "data/database.h"
#include "data/settings.h"
#include "data/table_lease.h"

#include <optional>

namespace tunarium {

class FrameSession {
public:
    FrameSession(Database& db, Settings& settings);
    // Closes the tables if close() was not called.
    ~FrameSession();
    FrameSession(const FrameSession&) = delete;
    FrameSession& operator=(const FrameSession&) = delete;

    // Opens Album, Media and the songs (counted), adds the default media formats to an empty
    // Media table, reads the previous version and writes this one, and runs the settings loader.
    // False when the program is ending (a table could not be opened).
    bool open();
    // The counted close of the tables open() opened.
    void close();
    bool isOpen() const { return m_tables.held(); }

    int mediaSeeded() const { return m_seeded; }
    // `Version` as the previous start left it (empty when none was recorded).
    const QString& previousVersion() const { return m_previousVersion; }
    // "Version 1.8i".
    QString versionText() const;

    // True when the album table is empty, the songs table is not, and the previous version, taken
    // as a number, is below 50.1 (every earlier version, and none recorded).
    bool albumQuestionApplies();
    // Asks "Album Database Empty"; true when the user answered Yes.
    bool askAlbumQuestion(Prompter& prompter) const;
    // After Yes: new songs are filed under albums from now on.
    void rememberAlbumEntries() const;

    // The logo picture's image file: the last of `FrameLogo`, `Logo` and `MainLogo` that is set;
    // none when all are empty (the frame's own picture stays).
    std::optional<QString> logoFile() const;

private:
    Database& m_db;
    Settings& m_settings;
    TableLease m_tables;
    int m_seeded = 0;
    QString m_previousVersion;
    QString m_frameLogo;
};

// The leading number of a version text ("1.8i" is 1.8); 0 when it has none.
double versionNumber(const QString& version);

} // namespace tunarium
