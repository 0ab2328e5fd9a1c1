#pragma once
// The command line of marunoki-cli: global options, then a command and its
// options, read with QCommandLineParser against the table of commands.
//
// NOTES ON THE DESIGN
// - Every command is one `CommandSpec`: its name, its positional arguments, its
//   options (each with what it does, its default and whether it is required) and
//   the function that runs it. The table (`commandTable()`, commands.cpp) is the
//   only list of commands; the help and the usage errors are drawn from it (and
//   the man page from the help), so a command added there is documented everywhere at once.
// - Parsing checks only the shape: unknown options, a value missing or given to a
//   switch, a value that is itself an option (`--race --offline`), a required
//   option not given, the number of positional arguments. What a value means
//   (a course name, a number in range) is decided by the command, which reports
//   a bad one through `usageError` with the same exit status 2.
// - Parsing never touches files or the network.

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace marunoki::cli {

// Exit statuses.
constexpr int kExitAnalysed = 0;  // the load reached the analysis (or the command succeeded)
constexpr int kExitFailed = 1;  // an output file or an import could not be written
constexpr int kExitUsage = 2;  // the command line is not one
constexpr int kExitStopped = 3;  // the load stopped at a message
constexpr int kExitIncomplete = 4;  // analysed, but something could not be read (a runner's page ...)

// One option of a command: --name VALUE (or a switch when valueName is empty).
struct OptionSpec {
    QString name;  // without the dashes
    QString valueName;  // as the help shows the value ("DIR"); empty = a switch
    QString help;  // what it does, one line, in Japanese
    QString defaultText;  // the default the help shows; empty = none shown
    bool required = false;
};

struct CommandLine;

struct CommandSpec {
    QString name;
    QString summary;  // one line for the list of commands
    QString description;  // a few lines for the command's own help; may be empty
    QString arguments;  // positional arguments as the usage line shows them ("SRC DEST")
    int argumentCount = 0;  // exactly this many positional arguments
    bool usesAppDir = true;  // takes --app-dir
    std::vector<OptionSpec> options;
    int (*run)(const CommandLine &) = nullptr;  // returns the exit status
};

// What was given for one command, checked against its CommandSpec.
struct CommandLine {
    const CommandSpec *command = nullptr;
    QString appDir;  // --app-dir, before or after the command; empty = not given
    std::map<QString, QString> values;  // valued options given (name without dashes)
    QStringList switches;  // switches given
    QStringList arguments;  // positional arguments

    bool has(const QString &name) const { return values.count(name) || switches.contains(name); }
    // The value of an option, or empty when not given.
    QString value(const QString &name) const;
};

// The parsed command line, or what to do instead of running a command.
struct [[nodiscard]] ParseResult {
    enum class Outcome { Run, Help, Version, Error };
    Outcome outcome = Outcome::Error;
    CommandLine line;  // Run; for Help and Error, line.command is the command (or null)
    QString error;  // Error: what is wrong, in Japanese
};

// arguments without the program name.
ParseResult parseCommandLine(const QStringList &arguments, const std::vector<CommandSpec> &table);

// The help of the program (command null: the commands and global options) or of
// one command, each option on one line with what it does and its default.
QString helpText(const std::vector<CommandSpec> &table, const CommandSpec *command);

// The usage line of a command ("marunoki-cli [--app-dir DIR] load --course COURSE ... [オプション]").
QString usageLine(const CommandSpec &command);

// Prints "marunoki-cli: <text>" and where to find the usage on stderr; returns
// the usage exit status.
int usageError(const CommandSpec *command, const QString &text);

}  // namespace marunoki::cli
