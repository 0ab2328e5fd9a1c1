#include "cli/cli_options.h"

#include "app/common.h"
#include "app/race_store.h"

#include <QRegularExpression>

#include <functional>
#include <map>

namespace marunoki::cli {

namespace {

constexpr int kMaxRaceNumber = 12;

bool allDigits(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(text).hasMatch();
}

// A number 1..max as two digits ("5" and "05" -> "05").
std::optional<QString> twoDigits(const QString &text, int max)
{
    if (!allDigits(text) || text.size() > 2)
        return std::nullopt;
    const int value = text.toInt();
    if (value < 1 || value > max)
        return std::nullopt;
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// A course-table name, or its code ("05", "5"), as the name.
std::optional<QString> courseName(const QString &text)
{
    if (zyoIndex(text) > 0)
        return text;
    if (const auto code = twoDigits(text, kCourseCount))
        return courseNames()[code->toInt()];
    return std::nullopt;
}

// Splits "--name=value" into name and value; other arguments come back whole.
std::pair<QString, std::optional<QString>> splitInline(const QString &arg)
{
    const qsizetype eq = arg.indexOf(u'=');
    if (arg.startsWith(QStringLiteral("--")) && eq > 2)
        return {arg.left(eq), arg.mid(eq + 1)};
    return {arg, std::nullopt};
}

class Parser {
public:
    explicit Parser(const QStringList &args)
        : args_(args)
    { }

    ParseResult run()
    {
        Options options;
        // Options before the command.
        while (pos_ < args_.size() && args_[pos_].startsWith(QStringLiteral("--"))) {
            auto [name, inlineValue] = splitInline(args_[pos_++]);
            if (name == QStringLiteral("--help")) {
                options.command = Command::Help;
                return {options, {}};
            }
            if (name != QStringLiteral("--app-dir"))
                return fail(QStringLiteral("unknown option %1").arg(name));
            if (!takeValue(name, inlineValue, options.appDir))
                return {std::nullopt, error_};
        }
        if (pos_ >= args_.size())
            return fail(QStringLiteral("no command given"));
        const QString command = args_[pos_++];
        if (command == QStringLiteral("load")) {
            options.command = Command::Load;
            if (!parseLoad(options, false))
                return {std::nullopt, error_};
        } else if (command == QStringLiteral("day")) {
            options.command = Command::Day;
            if (!parseLoad(options, true))
                return {std::nullopt, error_};
        } else if (command == QStringLiteral("import-mdb")) {
            options.command = Command::ImportMdb;
            if (args_.size() - pos_ != 2)
                return fail(QStringLiteral("import-mdb needs SRC and DEST"));
            options.importSource = args_[pos_++];
            options.importDest = args_[pos_++];
        } else if (command == QStringLiteral("demo")) {
            options.command = Command::Demo;
            if (pos_ < args_.size())
                return fail(QStringLiteral("demo takes no arguments"));
        } else if (command == QStringLiteral("help")) {
            options.command = Command::Help;
        } else {
            return fail(QStringLiteral("unknown command %1").arg(command));
        }
        return {options, {}};
    }

private:
    ParseResult fail(const QString &error) { return {std::nullopt, error}; }

    bool setError(const QString &error)
    {
        error_ = error;
        return false;
    }

    bool takeValue(const QString &name, const std::optional<QString> &inlineValue, QString &out)
    {
        if (inlineValue) {
            out = *inlineValue;
        } else {
            if (pos_ >= args_.size())
                return setError(QStringLiteral("%1 needs a value").arg(name));
            out = args_[pos_++];
        }
        if (out.isEmpty())
            return setError(QStringLiteral("%1 needs a value").arg(name));
        return true;
    }

    // The options of load, or of day (a range of races instead of one, and
    // folders for the outputs of many races).
    bool parseLoad(Options &options, bool day)
    {
        LoadOptions &load = options.load;
        using Handler = std::function<bool(const QString &name, const QString &value)>;
        const auto bad = [this](const QString &name, const QString &value) {
            return setError(QStringLiteral("bad value for %1: %2").arg(name, value));
        };
        const auto twoDigitField = [&bad](QString &field, int max) {
            return Handler([&field, max, &bad](const QString &name, const QString &value) {
                const auto text = twoDigits(value, max);
                if (!text)
                    return bad(name, value);
                field = *text;
                return true;
            });
        };
        std::map<QString, Handler> valued {
            {QStringLiteral("--app-dir"),
                [&](const QString &, const QString &v) { return options.appDir = v, true; }},
            {QStringLiteral("--site"),
                [&](const QString &n, const QString &v) {
                    if (v != QStringLiteral("1") && v != QStringLiteral("2"))
                        return bad(n, v);
                    load.site = v.toInt();
                    return true;
                }},
            {QStringLiteral("--year"),
                [&](const QString &n, const QString &v) {
                    if (!allDigits(v) || v.size() != 4)
                        return bad(n, v);
                    load.year = v;
                    return true;
                }},
            {QStringLiteral("--course"),
                [&](const QString &, const QString &v) {
                    const auto name = courseName(v);
                    if (!name)
                        return setError(QStringLiteral("unknown course %1").arg(v));
                    load.course = *name;
                    return true;
                }},
            {QStringLiteral("--meeting"), twoDigitField(load.meeting, 99)},
            {QStringLiteral("--day"), twoDigitField(load.day, 99)},
            {QStringLiteral("--race"), twoDigitField(load.race, 99)},
            {QStringLiteral("--base1"),
                [&](const QString &, const QString &v) { return load.base1 = v, true; }},
            {QStringLiteral("--base2"),
                [&](const QString &, const QString &v) { return load.base2 = v, true; }},
            {QStringLiteral("--json"),
                [&](const QString &, const QString &v) { return load.jsonPath = v, true; }},
            {QStringLiteral("--jobs"),
                [&](const QString &n, const QString &v) {
                    if (!allDigits(v) || v.size() > 3 || v.toInt() < 1)
                        return bad(n, v);
                    load.jobs = v.toInt();
                    return true;
                }},
            {QStringLiteral("--timeout"),
                [&](const QString &n, const QString &v) {
                    bool ok = false;
                    const double seconds = v.toDouble(&ok);
                    if (!ok || !(seconds > 0) || seconds > 86400)
                        return bad(n, v);
                    load.timeoutSeconds = seconds;
                    return true;
                }},
            {QStringLiteral("--archive"),
                [&](const QString &, const QString &v) { return load.archiveDir = v, true; }},
            {QStringLiteral("--offline"),
                [&](const QString &, const QString &v) { return load.offlineDir = v, true; }},
            {QStringLiteral("--graphs-pdf"),
                [&](const QString &, const QString &v) { return load.graphsPdf = v, true; }},
            {QStringLiteral("--table-pdf"),
                [&](const QString &, const QString &v) { return load.tablePdf = v, true; }},
            {QStringLiteral("--png"),
                [&](const QString &, const QString &v) { return load.pngDir = v, true; }},
            {QStringLiteral("--views-json"),
                [&](const QString &, const QString &v) { return load.viewsJson = v, true; }},
            {QStringLiteral("--report"),
                [&](const QString &, const QString &v) { return load.reportDir = v, true; }},
        };
        if (day) {
            // One race's outputs; a day writes every race into --report and --json-dir.
            for (const char *single :
                {"--race", "--json", "--graphs-pdf", "--table-pdf", "--png", "--views-json"})
                valued.erase(QLatin1String(single));
            valued[QStringLiteral("--races")] = [&](const QString &n, const QString &v) {
                const QStringList ends = v.split(u'-');
                const auto from = twoDigits(ends.value(0), kMaxRaceNumber);
                const auto to = ends.size() == 1 ? from : twoDigits(ends.value(1), kMaxRaceNumber);
                if (ends.size() > 2 || !from || !to || to->toInt() < from->toInt())
                    return bad(n, v);
                load.firstRace = from->toInt();
                load.lastRace = to->toInt();
                return true;
            };
            valued[QStringLiteral("--json-dir")]
                = [&](const QString &, const QString &v) { return load.jsonDir = v, true; };
        }
        while (pos_ < args_.size()) {
            auto [name, inlineValue] = splitInline(args_[pos_++]);
            if (name == QStringLiteral("--csv") && !inlineValue) {
                load.csv = true;
                continue;
            }
            if (name == QStringLiteral("--refresh") && !inlineValue) {
                load.refresh = true;
                continue;
            }
            const auto handler = valued.find(name);
            if (handler == valued.end())
                return setError(name.startsWith(u'-') ? QStringLiteral("unknown option %1").arg(name)
                                                      : QStringLiteral("unexpected argument %1").arg(name));
            QString value;
            if (!takeValue(name, inlineValue, value) || !handler->second(name, value))
                return false;
        }
        return true;
    }

    const QStringList &args_;
    qsizetype pos_ = 0;
    QString error_;
};

}  // namespace

ParseResult parseCommandLine(const QStringList &arguments)
{
    return Parser(arguments).run();
}

QString usageText()
{
    return QStringLiteral(
        "usage:\n"
        "  marunoki-cli [--app-dir DIR] load --site 1|2 --year YYYY --course COURSE --meeting N --day N "
        "--race N\n"
        "               [--base1 URL] [--base2 URL] [--json FILE|-] [--csv] [--jobs N] [--timeout SECONDS]\n"
        "               [--archive DIR] [--offline DIR] [--refresh]\n"
        "               [--graphs-pdf FILE] [--table-pdf FILE] [--png DIR] [--views-json FILE] [--report "
        "DIR]\n"
        "  marunoki-cli [--app-dir DIR] day --site 1|2 --year YYYY --course COURSE --meeting N --day N\n"
        "               [--races 1-12] [--jobs N] [--report DIR] [--csv] [--json-dir DIR]\n"
        "               [--base1 URL] [--base2 URL] [--timeout SECONDS] [--archive DIR] [--offline DIR]\n"
        "               [--refresh]\n"
        "  marunoki-cli [--app-dir DIR] import-mdb SRC DEST\n"
        "  marunoki-cli demo\n"
        "\n"
        "COURSE is a course name (東京) or its two-digit code (05). --site defaults to the\n"
        "settings file (marunoki.ini in the application folder), which is the program's\n"
        "folder unless --app-dir names another.\n"
        "Exit status: 0 analysed, 1 output could not be written, 2 usage error,\n"
        "3 the load stopped at a message. Ctrl-C during a load stops it (status 3).\n"
        "day loads every race of the range (the next race's pages fetched while one is\n"
        "read); it exits 0 when at least one race was analysed. Pages are kept in the\n"
        "cache folder of the application folder (section cache of the settings file);\n"
        "--refresh fetches every page again.\n");
}

}  // namespace marunoki::cli
