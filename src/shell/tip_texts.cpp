// The tips the program brings.
#include "shell/tips.h"

namespace tunarium {

const QStringList& shippedTips() {
    static const QStringList tips = {
        // Keyboard habits.
        QStringLiteral(
            "In any list, Insert adds a record and Delete deletes the highlighted one. You can keep "
            "your hands on the keyboard for a whole evening of data entry."),
        QStringLiteral("Tab and Shift+Tab move from field to field in every form; Enter presses the default "
                       "button and Esc leaves the form without saving."),
        QStringLiteral(
            "Page Up, Page Down, Home and End move through a list a page at a time or to either end, "
            "however many thousands of songs it holds."),
        QStringLiteral(
            "The letters underlined in a button's caption are its shortcut: hold Alt and press the "
            "letter. Alt+S, for instance, starts a search in the songs browse."),
        QStringLiteral(
            "The History button on the toolbar recalls the values of the record you entered before. "
            "Entering the songs of one album, it saves typing the artist and album again."),
        QStringLiteral(
            "Ctrl+X, Ctrl+C and Ctrl+V cut, copy and paste in the field that has the focus, and the "
            "Edit menu does the same."),
        // The locator.
        QStringLiteral(
            "The Quick Locator: click in a list and start typing. The list jumps to the first entry "
            "that begins with what you typed, in the order of the tab you are on."),
        QStringLiteral(
            "The locator works on the column the list is sorted by. To find a title rather than an "
            "artist, choose the title tab first, then type."),
        QStringLiteral(
            "The locator ignores case and accents: typing \"bjork\" finds Bj\u00f6rk, and \"motley\" "
            "finds M\u00f6tley Cr\u00fce."),
        QStringLiteral(
            "Backspace in a list takes back the last letter you typed into the locator, so a typing "
            "slip costs one key, not a new search."),
        // The query wizard.
        QStringLiteral(
            "The Search button of the songs browse opens the Query Wizard: pick a field, a comparison "
            "and a value, and the list shows only the songs that match."),
        QStringLiteral(
            "The Query Wizard joins conditions with AND and OR. \"Category is Disco AND BPM greater "
            "than 120\" gives you a floor-filler list in one step."),
        QStringLiteral(
            "A query you use often can be saved in the Query Wizard and loaded again another day."),
        QStringLiteral(
            "While a query is in force the songs browse shows only the songs that match it; clear the "
            "query to see the whole collection again."),
        // Import with Auto.
        QStringLiteral(
            "File, Import reads a comma-delimited file, one song a line. When the first line names "
            "the columns, the Auto button assigns each column to its song field for you."),
        QStringLiteral("In the import window, check the assignments Auto made before you press OK: a column "
                       "without a field is left out, and you can assign it by hand."),
        QStringLiteral(
            "Dates and times in an import file are read through a picture. If your file writes dates "
            "as 31/10/1959, give the column that picture before you import."),
        QStringLiteral(
            "Importing into a large collection? A copy of the collection is kept before the import "
            "starts, so a wrong assignment can always be undone."),
        QStringLiteral("File, Export writes your songs to a comma-delimited file that any spreadsheet opens. "
                       "Choose the fields, their order and whether a first line names them."),
        // The command line.
        QStringLiteral(
            "Tunarium Pro has a command line too: tunarium-cli --help lists what it can do without "
            "opening a window, from backups to reports."),
        QStringLiteral("tunarium-cli backup writes a dated copy of your collection; schedule it with your "
                       "system's task planner and you will never lose more than a day."),
        QStringLiteral("tunarium-cli report NAME --pdf FILE prints any report straight into a PDF file; "
                       "tunarium-cli report --list names them."),
        QStringLiteral("tunarium-cli import FILE adds a comma-delimited file of songs from the command line, "
                       "matching the columns by the names on its first line."),
        QStringLiteral(
            "tunarium-cli check looks through the whole collection file and says whether anything is "
            "damaged; tunarium-cli repair saves every record that can still be read."),
        QStringLiteral("tunarium-cli playlist generate --size 20 draws a new playlist at random, just as the "
                       "generator window does."),
        // Backups.
        QStringLiteral(
            "Before every step that rewrites many records (an upgrade, a restore, packing, an import, "
            "the Year Only conversion) the program keeps a dated copy of the collection beside it."),
        QStringLiteral("Dated copies are named tunarium-KIND-YYYYMMDD-HHMMSS.db and lie in the collection's "
                       "folder. tunarium-cli restore FILE brings one back."),
        QStringLiteral(
            "A backup on a second disk is worth two on the first. Copy your dated backups to another "
            "drive or a memory stick now and then."),
        QStringLiteral(
            "Restoring a backup keeps the collection you had first, as a copy of its own, so that a "
            "restore can itself be undone."),
        // Preferences and the rest.
        QStringLiteral("File, Preferences chooses how release dates are shown. \"Year Only\" keeps just the "
                       "year; the other formats only change how dates look."),
        QStringLiteral(
            "Your own key: File, Preferences lets you give the User Defined Key field a name of your "
            "own, such as \"Crate\" or \"Rack\", and the songs browse sorts by it."),
        QStringLiteral(
            "File, Preferences, Start Up opens the songs, albums, playlists or labels browse by itself "
            "each time you start Tunarium Pro."),
        QStringLiteral(
            "Prefer a different way of adding songs? File, Preferences, Adding sets whether Insert "
            "opens the song form, a wizard, or asks you each time."),
        QStringLiteral(
            "Browse, Wizards, Quick Single Artist Album enters a whole album in one window. Put the CD "
            "in the drive and Read Compact Disc Information fills in the tracks and times."),
        QStringLiteral(
            "The read button of the album wizards comes alive by itself when you put a disc in the "
            "drive. File, Preferences sets how often the drive is looked at."),
        QStringLiteral("For a compilation, use Browse, Wizards, Quick Compilation: every track gets its own "
                       "artist while the album stays one."),
        QStringLiteral("The playlist generator draws songs at random from the release dates and category you "
                       "choose, and can favour recent additions or older releases."),
        QStringLiteral(
            "Every window remembers where you left it and how large it was. Arrange your screen once "
            "and it stays that way."),
        QStringLiteral(
            "Reports open in a preview first: look at every page, then print all of them or just the "
            "pages you need."),
        QStringLiteral("Do not want these tips at start-up? Clear \"Show tip at startup\" below. Help, Tips "
                       "brings them back whenever you like."),
    };
    return tips;
}

} // namespace tunarium
