// The command line's one reader of arguments.
#include "cli/command_line.h"

#include "cli/cli_commands.h"
#include "data/app_paths.h"
#include "data/store.h"

namespace tunarium::cli {

namespace {

// The name an argument gives as an option: its dashes and any "=value" left out.
QString optionName(const QString& arg) {
    QString name = arg;
    while (name.startsWith(u'-')) {
        name.remove(0, 1);
    }
    return name.section(u'=', 0, 0);
}

} // namespace

CommandLine::CommandLine(QVector<CommandOption> options, QString unknown)
    : m_options(std::move(options)), m_unknown(std::move(unknown)) {
    // Every option is a word: "-quiet" is the option "quiet", never the letters q, u, i, e, t.
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_options.append(
        {QStringLiteral("dir"), QStringLiteral("DIR"), QStringLiteral("--dir needs a directory")});
    m_options.append({QStringLiteral("server"), QStringLiteral("URL"),
                      QStringLiteral("--server needs a server's address (a libpq connection string or a "
                                     "postgresql:// URL)")});
    for (const CommandOption& o : m_options) {
        m_parser.addOption(o.valueName.isEmpty() ? QCommandLineOption(o.name)
                                                 : QCommandLineOption(o.name, QString(), o.valueName));
    }
    m_parser.addOption(QCommandLineOption(QStringList{QStringLiteral("help"), QStringLiteral("h")}));
}

void CommandLine::stopAtFirstArgument() {
    m_parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
}

std::optional<int> CommandLine::read(const QStringList& args, QString& dir) {
    // The parser takes the program's name first.
    if (!m_parser.parse(QStringList{QStringLiteral("tunarium-cli")} + args)) {
        return usage(problem(args));
    }
    if (m_parser.isSet(QStringLiteral("help"))) {
        out() << usageText();
        out().flush();
        return kExitOk;
    }
    if (m_parser.isSet(QStringLiteral("dir"))) {
        dir = m_parser.value(QStringLiteral("dir"));
        // An empty name (a variable that was not set) names no directory; it never stands for
        // the default collection, or for the current directory.
        if (dir.trimmed().isEmpty()) {
            return usage(QStringLiteral("--dir names no directory"));
        }
    }
    if (m_parser.isSet(QStringLiteral("server"))) {
        if (m_parser.isSet(QStringLiteral("dir"))) {
            return usage(QStringLiteral("--dir and --server both name the collection: give one"));
        }
        dir = m_parser.value(QStringLiteral("server"));
        if (!isServerLocation(dir)) {
            return usage(QStringLiteral("--server needs a libpq connection string (host=... dbname=...) or a "
                                        "postgresql:// URL"));
        }
    }
    if (dir.isEmpty()) {
        dir = defaultCollectionDir();
    }
    return std::nullopt;
}

QString CommandLine::unknownOption(const QString& arg) const {
    return m_unknown.contains(QLatin1String("%1")) ? m_unknown.arg(arg) : m_unknown;
}

QString CommandLine::problem(const QStringList& args) const {
    const QStringList unknown = m_parser.unknownOptionNames();
    for (const QString& arg : args) {
        if (!arg.startsWith(u'-')) {
            continue;
        }
        const QString name = optionName(arg);
        if (unknown.contains(name)) {
            return unknownOption(arg);
        }
        // A flag given a value is not a flag the command knows.
        const auto known = std::find_if(m_options.begin(), m_options.end(),
                                        [&name](const CommandOption& o) { return o.name == name; });
        const bool flag = (known != m_options.end() && known->valueName.isEmpty()) ||
                          name == QLatin1String("help") || name == QLatin1String("h");
        if (flag && arg.contains(u'=')) {
            return unknownOption(arg);
        }
    }
    // Otherwise the last option wants the value that is not there.
    const QString name = args.isEmpty() ? QString() : optionName(args.last());
    for (const CommandOption& o : m_options) {
        if (o.name == name && !o.valueName.isEmpty()) {
            return o.needsValue.isEmpty() ? QStringLiteral("--%1 needs a value").arg(name) : o.needsValue;
        }
    }
    return m_parser.errorText();
}

QString CommandLine::lastOf(const QStringList& names) const {
    const QStringList given = m_parser.optionNames();
    for (auto it = given.crbegin(); it != given.crend(); ++it) {
        if (names.contains(*it)) {
            return *it;
        }
    }
    return {};
}

} // namespace tunarium::cli
