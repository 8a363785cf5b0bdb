// How tunarium-cli reads its arguments: every command through this one class around
// QCommandLineParser. An option is `--name VALUE` or `--name=VALUE`, a flag `--name`, anywhere
// among the command's own arguments; `--dir DIR` and `--help` (`-h`) are known everywhere, before
// the command as after it. What is wrong with the arguments is told as bad usage (exit status 2).
#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QVector>

#include <optional>

namespace tunarium::cli {

struct CommandOption {
    QString name;      // without the dashes
    QString valueName; // empty: a flag
    // What is said when the value is missing ("--assign needs Field_N=TUN:Name"); empty: "--NAME
    // needs a value".
    QString needsValue;
};

class CommandLine {
public:
    // `unknown` tells an option the command does not know, "%1" (if there) standing for it as
    // typed.
    explicit CommandLine(QVector<CommandOption> options = {},
                         QString unknown = QStringLiteral("unknown option %1"));

    // Before a command: the options up to the first argument, which is the command; everything
    // after it is left to the command.
    void stopAtFirstArgument();

    // Reads `args`. Returns the exit status to end with: after the usage for --help, or for bad
    // usage after the problem and the usage; nothing when the command goes on. `dir` takes the
    // value of --dir when one was given, and is the default collection directory when it is empty.
    std::optional<int> read(const QStringList& args, QString& dir);

    bool isSet(const QString& name) const { return m_parser.isSet(name); }
    // The value given last, and every value in the order given.
    QString value(const QString& name) const { return m_parser.value(name); }
    QStringList values(const QString& name) const { return m_parser.values(name); }
    // Of the flags `names`, the one given last; empty when none was given.
    QString lastOf(const QStringList& names) const;
    // The arguments that are not options, in order.
    QStringList arguments() const { return m_parser.positionalArguments(); }

private:
    QString problem(const QStringList& args) const;
    QString unknownOption(const QString& arg) const;

    QCommandLineParser m_parser;
    QVector<CommandOption> m_options;
    QString m_unknown;
};

} // namespace tunarium::cli
