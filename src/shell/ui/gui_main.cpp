// Entry point of the Tunarium Pro program: tunarium [--dir DIR] [--toc FILE].
#include "data/app_paths.h"
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
    // The collection directory is the program's current directory.
    const QString dir =
        QDir(parser.isSet(dirOption) ? parser.value(dirOption) : tunarium::defaultCollectionDir())
            .absolutePath();
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir)) {
        QMessageBox::critical(nullptr, QStringLiteral("Tunarium Pro 98"),
                              QStringLiteral("The collection directory %1 cannot be used.").arg(dir));
        return 1;
    }

    tunarium::GuiPrompter prompter;
    tunarium::Program program(dir, prompter);
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
