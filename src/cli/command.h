#pragma once

#include <QByteArray>
#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>

class QCommandLineParser;

namespace brevant::cli {

// What a run ends with: 0 when everything was done, 1 when a check found
// something or a merge left a conflict, 2 when an input could not be read,
// an output not written or the command line not understood. Of two, the
// higher stands.
enum class Status { Done = 0, Found = 1, Failed = 2 };
Status worse(Status a, Status b);

// Where a command speaks: its messages go to standard error, its results
// to standard output. Thread-safe.
class Console {
public:
    explicit Console(QString name);
    // "brevant-cli export: " + text, on a line of its own.
    void error(const QString &text);
    // A progress line, rewritten in place on a terminal; nothing when
    // standard error is no terminal.
    void progress(const QString &text);
    // Ends the progress line, where there is one.
    void endProgress();
    // Bytes on standard output, as they are.
    bool out(const QByteArray &bytes);
    // Text on standard output, in UTF-8.
    bool print(const QString &text);

    bool isTerminal() const { return m_terminal; }
    const QString &name() const { return m_name; }

private:
    QString m_name;
    bool m_terminal = false;
    bool m_progressShown = false;
};

// One subcommand: its usage, what it does and its options, and the
// function that runs it over the command line parsed.
struct Command {
    QString name;
    QString summary;       // one line for the list of commands
    QString synopsis;      // the arguments after the command's name
    QString description;   // what it does, for its help
    QList<QCommandLineOption> options;
    Status (*run)(const Command &command, const QCommandLineParser &parser, Console &console) = nullptr;

    // The command's usage and options, as help and usage errors show them.
    QString help() const;
    // Says what is wrong with the command line, then the usage.
    Status usageError(Console &console, const QString &what) const;
};

// Every subcommand, in the order the help lists them.
const QList<Command> &commands();

// The whole command line: argv as given.
int runCommandLine(int argc, char **argv);

} // namespace brevant::cli
