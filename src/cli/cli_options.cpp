#include "cli/cli_options.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

namespace marunoki::cli {

namespace {

const QString kProgram = QStringLiteral("marunoki-cli");

const OptionSpec kHelpOption {QStringLiteral("help"), {}, QStringLiteral("この説明を表示する"), {}, false};
const OptionSpec kVersionOption {
    QStringLiteral("version"), {}, QStringLiteral("版を1行で表示する"), {}, false};
const OptionSpec kAppDirOption {QStringLiteral("app-dir"), QStringLiteral("DIR"),
    QStringLiteral("アプリケーションフォルダ"), QStringLiteral("下の「ファイル」のとおり"), false};

QString optionColumn(const OptionSpec &option)
{
    QString column = option.name == QStringLiteral("help") ? QStringLiteral("-h, --help")
                                                           : QStringLiteral("--") + option.name;
    if (!option.valueName.isEmpty())
        column += u' ' + option.valueName;
    return column;
}

QString optionLine(const OptionSpec &option, qsizetype width)
{
    QString line = QStringLiteral("  ") + optionColumn(option).leftJustified(width) + QStringLiteral("  ")
        + option.help;
    if (option.required)
        line += QStringLiteral("（必須）");
    if (!option.defaultText.isEmpty())
        line += QStringLiteral("（既定: %1）").arg(option.defaultText);
    return line + u'\n';
}

QString optionLines(const std::vector<OptionSpec> &options)
{
    qsizetype width = 0;
    for (const OptionSpec &option : options)
        width = std::max(width, optionColumn(option).size());
    QString text;
    for (const OptionSpec &option : options)
        text += optionLine(option, width);
    return text;
}

// Every option a command takes, in the order its help lists them.
std::vector<OptionSpec> allOptions(const CommandSpec &command)
{
    std::vector<OptionSpec> options {kHelpOption};
    if (command.usesAppDir)
        options.push_back(kAppDirOption);
    options.insert(options.end(), command.options.begin(), command.options.end());
    return options;
}

QCommandLineOption qtOption(const OptionSpec &option)
{
    QStringList names {option.name};
    if (option.name == QStringLiteral("help"))
        names.prepend(QStringLiteral("h"));
    return option.valueName.isEmpty() ? QCommandLineOption(names)
                                      : QCommandLineOption(names, {}, option.valueName);
}

// A parser that reads "-name" as "--name" and the command's options only.
void setUp(QCommandLineParser &parser, const std::vector<OptionSpec> &options)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec &option : options)
        parser.addOption(qtOption(option));
}

// QCommandLineParser's own reasons, in Japanese.
QString parseError(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        // Named as the user wrote it ("-x" or "--x").
        const QString &name = unknown.first();
        QString written = QStringLiteral("--") + name;
        for (const QString &argument : arguments) {
            const QString bare = argument.section(u'=', 0, 0);
            if (bare == u'-' + name || bare == QStringLiteral("--") + name)
                written = bare;
        }
        return QStringLiteral("オプション %1 はありません").arg(written);
    }
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'\\.$"));
    static const QRegularExpression unexpected(QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    const QString text = parser.errorText();
    if (const auto m = missing.match(text); m.hasMatch())
        return QStringLiteral("%1 に値がありません").arg(m.captured(1));
    if (const auto m = unexpected.match(text); m.hasMatch())
        return QStringLiteral("%1 は値をとりません").arg(m.captured(1));
    return text;
}

// A value that is itself an option means the value was left out
// (`--race --offline DIR` would load race "--offline").
bool looksLikeOption(const QString &value)
{
    static const QRegularExpression number(QStringLiteral("^-[0-9.]+$"));
    return value.size() > 1 && value.startsWith(u'-') && !number.match(value).hasMatch();
}

// The values of the valued options given, checked; the first problem, or empty.
QString readValues(
    const QCommandLineParser &parser, const std::vector<OptionSpec> &options, CommandLine &line)
{
    const QStringList given = parser.optionNames();
    for (const OptionSpec &option : options) {
        if (!parser.isSet(option.name))
            continue;
        // `--race 11 --race 12` would silently take the last one.
        const bool helpAsH = option.name == QStringLiteral("help");
        if (given.count(option.name) + (helpAsH ? given.count(QStringLiteral("h")) : 0) > 1)
            return QStringLiteral("--%1 が2回以上あります（1回だけ指定してください）").arg(option.name);
        if (option.valueName.isEmpty()) {
            if (option.name != QStringLiteral("help"))
                line.switches.append(option.name);
            continue;
        }
        for (const QString &value : parser.values(option.name)) {
            if (value.isEmpty())
                return QStringLiteral("--%1 に値がありません").arg(option.name);
            if (looksLikeOption(value))
                return QStringLiteral("--%1 に値がありません（%2 はオプションです）").arg(option.name, value);
        }
        if (option.name == QStringLiteral("app-dir"))
            line.appDir = parser.value(option.name);
        else
            line.values[option.name] = parser.value(option.name);
    }
    return {};
}

ParseResult failure(const CommandSpec *command, const QString &error)
{
    ParseResult result;
    result.outcome = ParseResult::Outcome::Error;
    result.line.command = command;
    result.error = error;
    return result;
}

ParseResult outcome(ParseResult::Outcome outcome, const CommandSpec *command)
{
    ParseResult result;
    result.outcome = outcome;
    result.line.command = command;
    return result;
}

const CommandSpec *find(const std::vector<CommandSpec> &table, const QString &name)
{
    const auto it = std::find_if(
        table.begin(), table.end(), [&name](const CommandSpec &command) { return command.name == name; });
    return it == table.end() ? nullptr : &*it;
}

ParseResult parseCommand(
    const CommandSpec &command, const QStringList &arguments, const QString &globalAppDir)
{
    const std::vector<OptionSpec> options = allOptions(command);
    QCommandLineParser parser;
    setUp(parser, options);
    if (!parser.parse(QStringList {kProgram} + arguments))
        return failure(&command, parseError(parser, arguments));
    if (parser.isSet(kHelpOption.name))
        return outcome(ParseResult::Outcome::Help, &command);

    ParseResult result = outcome(ParseResult::Outcome::Run, &command);
    CommandLine &line = result.line;
    line.appDir = globalAppDir;
    if (const QString error = readValues(parser, options, line); !error.isEmpty())
        return failure(&command, error);
    if (!globalAppDir.isEmpty() && parser.isSet(kAppDirOption.name))
        return failure(&command,
            QStringLiteral("--%1 が2回以上あります（1回だけ指定してください）").arg(kAppDirOption.name));
    QStringList missing;
    for (const OptionSpec &option : command.options) {
        if (option.required && !line.has(option.name))
            missing.append(QStringLiteral("--") + option.name);
    }
    if (!missing.isEmpty())
        return failure(&command,
            QStringLiteral("%1 には %2 が必要です").arg(command.name, missing.join(QStringLiteral(", "))));
    line.arguments = parser.positionalArguments();
    if (line.arguments.size() > command.argumentCount && command.argumentCount == 0)
        return failure(
            &command, QStringLiteral("%1 は引数をとりません（%2）").arg(command.name, line.arguments[0]));
    if (line.arguments.size() != command.argumentCount)
        return failure(
            &command, QStringLiteral("%1 には %2 が必要です").arg(command.name, command.arguments));
    return result;
}

}  // namespace

QString CommandLine::value(const QString &name) const
{
    const auto it = values.find(name);
    return it == values.end() ? QString() : it->second;
}

ParseResult parseCommandLine(const QStringList &arguments, const std::vector<CommandSpec> &table)
{
    // The global options come before the command; everything from the command
    // on is the command's, read by its own parser.
    const std::vector<OptionSpec> globals {kHelpOption, kVersionOption, kAppDirOption};
    QCommandLineParser parser;
    setUp(parser, globals);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(QStringList {kProgram} + arguments))
        return failure(nullptr, parseError(parser, arguments));
    if (parser.isSet(kHelpOption.name))
        return outcome(ParseResult::Outcome::Help, nullptr);
    if (parser.isSet(kVersionOption.name))
        return outcome(ParseResult::Outcome::Version, nullptr);
    CommandLine global;
    if (const QString error = readValues(parser, globals, global); !error.isEmpty())
        return failure(nullptr, error);

    QStringList rest = parser.positionalArguments();
    if (rest.isEmpty())
        return failure(nullptr, QStringLiteral("コマンドがありません"));
    const QString name = rest.takeFirst();
    if (name == QStringLiteral("help")) {
        // "help" alone, or "help COMMAND" as "COMMAND --help".
        if (rest.isEmpty())
            return outcome(ParseResult::Outcome::Help, nullptr);
        const CommandSpec *command = find(table, rest.first());
        if (command == nullptr || rest.size() > 1)
            return failure(nullptr, QStringLiteral("コマンド %1 はありません").arg(rest.join(u' ')));
        return outcome(ParseResult::Outcome::Help, command);
    }
    const CommandSpec *command = find(table, name);
    if (command == nullptr)
        return failure(nullptr, QStringLiteral("コマンド %1 はありません").arg(name));
    return parseCommand(*command, rest, global.appDir);
}

QString usageLine(const CommandSpec &command)
{
    QString line = kProgram;
    if (command.usesAppDir)
        line += QStringLiteral(" [--app-dir DIR]");
    line += u' ' + command.name;
    bool optional = false;
    for (const OptionSpec &option : command.options) {
        if (option.required)
            line += QStringLiteral(" --") + option.name + u' ' + option.valueName;
        else
            optional = true;
    }
    if (optional)
        line += QStringLiteral(" [オプション]");
    if (!command.arguments.isEmpty())
        line += u' ' + command.arguments;
    return line;
}

QString helpText(const std::vector<CommandSpec> &table, const CommandSpec *command)
{
    if (command != nullptr) {
        QString text = QStringLiteral("使い方: ") + usageLine(*command) + QStringLiteral("\n\n")
            + command->summary + u'\n';
        if (!command->description.isEmpty())
            text += command->description + u'\n';
        return text + QStringLiteral("\nオプション:\n") + optionLines(allOptions(*command));
    }
    QString text = QStringLiteral("使い方: %1 [--app-dir DIR] コマンド [オプション]\n"
                                  "        %1 コマンド --help\n"
                                  "        %1 --version\n\n"
                                  "コマンド:\n")
                       .arg(kProgram);
    qsizetype width = 0;
    for (const CommandSpec &each : table)
        width = std::max(width, each.name.size());
    for (const CommandSpec &each : table)
        text += QStringLiteral("  ") + each.name.leftJustified(width) + QStringLiteral("  ") + each.summary
            + u'\n';
    text += QStringLiteral("\n共通オプション（コマンドの前に）:\n")
        + optionLines({kHelpOption, kVersionOption, kAppDirOption});
    text += QStringLiteral(
        "\nファイル:\n"
        "  アプリケーションフォルダ（marunoki.ini, marunoki.dat, NAR_data.mdb, ページのキャッシュ）は\n"
        "  次の順に決まる: --app-dir、環境変数 MARUNOKI_APP_DIR、marunoki.ini のあるプログラムのフォルダ、\n"
        "  利用者のデータフォルダ $XDG_DATA_HOME/marunoki（既定は ~/.local/share/marunoki）。\n"
        "  相対パスの XDG_DATA_HOME は使わない。HOME もなければ --app-dir か MARUNOKI_APP_DIR が要る。\n"
        "  利用者のデータフォルダは初めての起動で作られ、既定の marunoki.ini が書かれる。\n"
        "  馬場情報ファイル marunoki.dat がなければ load と day は終了コード 3 で止まる。\n"
        "\n終了コード:\n"
        "  0  解析できた（コマンドが成功した）\n"
        "  1  出力を書き出せなかった\n"
        "  2  コマンドラインが使えない\n"
        "  3  読込みがメッセージで止まった（何も書き出さない）\n"
        "  4  解析できたが、読み込めなかったものがある（馬のページ、地方競馬のデータベースなど）\n"
        "\n例:\n"
        "  marunoki-cli load --course 東京 --meeting 5 --day 9 --race 11 --report レポート\n"
        "  marunoki-cli --app-dir ~/marunoki day --year 2026 --course 05 --meeting 5 --day 9 --races 10-12\n"
        "  marunoki-cli results --since 2026-11-01\n"
        "  marunoki-cli tally --from 2026-01-01 --by mark --html 集計\n"
        "  marunoki-cli mark --site 1 --year 2026 --course 東京 --meeting 5 --day 9 --race 11 --uma 3 ◎\n"
        "  marunoki-cli marks --export 印.csv\n");
    return text;
}

int usageError(const CommandSpec *command, const QString &text)
{
    QString out = kProgram + QStringLiteral(": ") + text + u'\n';
    if (command != nullptr)
        out += QStringLiteral("使い方: %1\n詳しくは %2 %3 --help\n")
                   .arg(usageLine(*command), kProgram, command->name);
    else
        out += QStringLiteral("使い方: %1 [--app-dir DIR] コマンド [オプション]\n詳しくは %1 --help\n")
                   .arg(kProgram);
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    return kExitUsage;
}

}  // namespace marunoki::cli
