// Entry point of the Tunarium Pro program: tunarium [--dir DIR | --server URL] [--toc FILE].
#include "data/app_paths.h"
#include "data/ini_file.h"
#include "data/store.h"
#include "shell/application_identity.h"
#include "shell/ui/main_frame.h"
#include "shell/ui/program.h"
#include "shell/ui/session_end.h"
#include "ui/gui_prompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tunarium::setApplicationIdentity();
    QApplication::setApplicationDisplayName(QStringLiteral("Tunarium Pro 98"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/tunarium.png")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tunarium Pro 98, a database for your music collection."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dirOption(QStringLiteral("dir"), QStringLiteral("The collection directory."),
                                       QStringLiteral("DIR"));
    parser.addOption(dirOption);
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("The collection in a PostgreSQL server's database: a libpq connection string or a "
                       "postgresql:// URL (the password from ~/.pgpass or PGPASSWORD)."),
        QStringLiteral("URL"));
    parser.addOption(serverOption);
    const QCommandLineOption tocOption(
        QStringLiteral("toc"),
        QStringLiteral("A table-of-contents file the CD reader reads in place of a drive."),
        QStringLiteral("FILE"));
    parser.addOption(tocOption);
    parser.process(app);
    // The reader finds the file where TUNARIUM_CD_TOC names it; the name is made absolute before
    // the program moves into the collection directory.
    if (parser.isSet(tocOption)) {
        qputenv("TUNARIUM_CD_TOC", QFileInfo(parser.value(tocOption)).absoluteFilePath().toLocal8Bit());
    }

    // An empty --dir (a variable that was not set) names no directory: never the default
    // collection, never the current directory.
    if (parser.isSet(dirOption) && parser.value(dirOption).trimmed().isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Tunarium Pro 98"),
                              QStringLiteral("--dir names no directory."));
        return 2;
    }
    // A collection on a server: named on the command line, else by Server= in the preferences
    // (unless a folder is named).
    QString server = parser.value(serverOption).trimmed();
    if (server.isEmpty() && !parser.isSet(dirOption)) {
        server = tunarium::readIni(tunarium::settingsFilePath(), u"Settings", u"Server")
                     .trimmed();
    }
    if (parser.isSet(dirOption) && parser.isSet(serverOption)) {
        QMessageBox::critical(nullptr, QStringLiteral("Tunarium Pro 98"),
                              QStringLiteral("--dir and --server both name the collection: give one."));
        return 2;
    }
    if (!server.isEmpty() && !tunarium::isServerLocation(server)) {
        QMessageBox::critical(nullptr, QStringLiteral("Tunarium Pro 98"),
                              QStringLiteral("%1 is not a server's address (a libpq connection string or a "
                                             "postgresql:// URL).")
                                  .arg(tunarium::serverLabel(server)));
        return 2;
    }
    // The collection directory is the program's current directory; with a server, the user's
    // data directory is, for the files the program writes beside a collection.
    const QString dir =
        QDir(parser.isSet(dirOption) ? parser.value(dirOption) : tunarium::defaultCollectionDir())
            .absolutePath();
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir)) {
        QMessageBox::critical(nullptr, QStringLiteral("Tunarium Pro 98"),
                              QStringLiteral("The collection directory %1 cannot be used.").arg(dir));
        return 1;
    }

    tunarium::GuiPrompter prompter;
    tunarium::Program program(server.isEmpty() ? dir : server, prompter);
    tunarium::SessionEndWatcher sessionEnd(nullptr);
    QObject::connect(&program, &tunarium::Program::frameOpened, &sessionEnd,
                     [&sessionEnd, &prompter](tunarium::MainFrame* frame) {
                         sessionEnd.setFrame(frame);
                         prompter.setParentWindow(frame);
                     });
    QObject::connect(&program, &tunarium::Program::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QApplication::setQuitOnLastWindowClosed(false);
    program.start();
    return QApplication::exec();
}
