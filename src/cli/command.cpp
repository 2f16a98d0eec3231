#include "cli/command.h"

#include "cli/exportcommand.h"
#include "cli/mergereviewcommand.h"
#include "cli/rollupcommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <mutex>

#include <unistd.h>

namespace brevant::cli {

using namespace Qt::Literals::StringLiterals;

namespace {

std::mutex &consoleLock()
{
    static std::mutex lock;
    return lock;
}

void writeErr(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

QString programHelp()
{
    QString text = u"usage: brevant-cli [--version] [--help] COMMAND [ARGS]\n\n"
                   "The self-study's work files on the command line: reports and tables for\n"
                   "many at once, with no window.\n\nCommands:\n"_s;
    for (const Command &command : commands())
        text += u"  %1  %2\n"_s.arg(command.name.leftJustified(12), command.summary);
    text += u"  help          Show the usage of a command\n\n"
            "See 'brevant-cli help COMMAND' for the options of one command.\n"_s;
    return text;
}

const Command *commandNamed(const QString &name)
{
    for (const Command &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

// Text broken into lines of at most 80 characters at blanks, each indented.
QString wrapped(const QString &text, int indent)
{
    QString out;
    QString line;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > 80) {
            out += QString(indent, u' ') + line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : u" "_s) + word;
    }
    return out + QString(indent, u' ') + line + u'\n';
}

QString versionText()
{
    return u"brevant-cli %1\n"_s.arg(QStringLiteral(BREVANT_VERSION));
}

} // namespace

Status worse(Status a, Status b)
{
    return int(a) >= int(b) ? a : b;
}

Console::Console(QString name) : m_name(std::move(name)), m_terminal(::isatty(STDERR_FILENO) == 1) {}

void Console::error(const QString &text)
{
    const std::lock_guard guard(consoleLock());
    QByteArray line = (m_name + u": "_s + text + u'\n').toUtf8();
    if (m_progressShown) {
        line.prepend("\r\033[K");
        m_progressShown = false;
    }
    writeErr(line);
}

void Console::progress(const QString &text)
{
    if (!m_terminal)
        return;
    const std::lock_guard guard(consoleLock());
    writeErr("\r\033[K" + (m_name + u": "_s + text).toUtf8());
    m_progressShown = true;
}

void Console::endProgress()
{
    const std::lock_guard guard(consoleLock());
    if (m_progressShown)
        writeErr("\n");
    m_progressShown = false;
}

bool Console::out(const QByteArray &bytes)
{
    const std::lock_guard guard(consoleLock());
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size());
    return std::fflush(stdout) == 0 && written;
}

bool Console::print(const QString &text)
{
    return out(text.toUtf8());
}

QString Command::help() const
{
    QString text = u"usage: brevant-cli %1 %2\n\n%3\n"_s.arg(name, synopsis, description);
    if (!options.isEmpty())
        text += u"\nOptions:\n"_s;
    for (const QCommandLineOption &option : options) {
        QStringList names;
        for (const QString &n : option.names())
            names << (n.size() == 1 ? u"-"_s : u"--"_s) + n;
        QString left = names.join(u", "_s);
        if (!option.valueName().isEmpty())
            left += u' ' + option.valueName();
        text += u"  %1\n%2"_s.arg(left, wrapped(option.description(), 6));
    }
    return text;
}

Status Command::usageError(Console &console, const QString &what) const
{
    console.error(what);
    writeErr(('\n' + help()).toUtf8());
    return Status::Failed;
}

const QList<Command> &commands()
{
    static const QList<Command> all = {exportCommand(), rollupCommand(), mergeReviewCommand()};
    return all;
}

int runCommandLine(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"brevant-cli"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(BREVANT_VERSION));
    QStringList args = app.arguments();
    args.removeFirst();
    Console console(u"brevant-cli"_s);

    if (args.isEmpty()) {
        writeErr(programHelp().toUtf8());
        return int(Status::Failed);
    }
    const QString first = args.takeFirst();
    if (first == u"--version"_s || first == u"-V"_s) {
        console.print(versionText());
        return int(Status::Done);
    }
    if (first == u"--help"_s || first == u"-h"_s) {
        console.print(programHelp());
        return int(Status::Done);
    }
    if (first == u"help"_s) {
        if (args.isEmpty()) {
            console.print(programHelp());
            return int(Status::Done);
        }
        if (const Command *command = commandNamed(args.first())) {
            console.print(command->help());
            return int(Status::Done);
        }
        console.error(u"'%1' is not a command. See 'brevant-cli --help'."_s.arg(args.first()));
        return int(Status::Failed);
    }
    const Command *command = commandNamed(first);
    if (!command) {
        console.error(u"'%1' is not a command. See 'brevant-cli --help'."_s.arg(first));
        return int(Status::Failed);
    }

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption helpOption(QStringList{u"h"_s, u"help"_s}, u"Show this help."_s);
    parser.addOption(helpOption);
    parser.addOptions(command->options);
    Console commandConsole(u"brevant-cli "_s + command->name);
    if (!parser.parse(QStringList{u"brevant-cli"_s} + args))
        return int(command->usageError(commandConsole, parser.errorText()));
    if (parser.isSet(helpOption)) {
        commandConsole.print(command->help());
        return int(Status::Done);
    }
    return int(command->run(*command, parser, commandConsole));
}

} // namespace brevant::cli
