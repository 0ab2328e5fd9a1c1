#include "cli/race_options.h"

#include "app/common.h"
#include "app/race_store.h"

#include <QRegularExpression>

#include <functional>

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

OptionSpec valued(const char *name, const char *valueName, const QString &help,
    const QString &defaultText = {}, bool required = false)
{
    return {QString::fromLatin1(name), QString::fromUtf8(valueName), help, defaultText, required};
}

OptionSpec flag(const char *name, const QString &help)
{
    return {QString::fromLatin1(name), {}, help, {}, false};
}

}  // namespace

std::vector<OptionSpec> raceOptions(bool day)
{
    std::vector<OptionSpec> options {
        valued("site", "1|2", QStringLiteral("読込みサイト"), QStringLiteral("設定ファイルの [site] site")),
        day ? valued("year", "YYYY", QStringLiteral("開催年（4桁）"), {}, true)
            : valued("year", "YYYY", QStringLiteral("開催年（4桁）"), QStringLiteral("今年")),
        valued("course", "COURSE", QStringLiteral("場の名前（東京）か2桁のコード（05）"), {}, true),
        valued("meeting", "N", QStringLiteral("開催回（1〜99）"), {}, true),
        valued("day", "N", QStringLiteral("開催日（1〜99）"), {}, true),
    };
    const std::vector<OptionSpec> sources {
        valued("base1", "URL", QStringLiteral("サイト1のアドレス"),
            QStringLiteral("設定ファイルの [web] site1")),
        valued("base2", "URL", QStringLiteral("サイト2のアドレス"),
            QStringLiteral("設定ファイルの [web] site2")),
        valued("jobs", "N", QStringLiteral("同時に読み込むページ数の上限"), QStringLiteral("4")),
        valued("timeout", "SECONDS", QStringLiteral("1ページを待つ秒数"), QStringLiteral("30")),
        valued("archive", "DIR", QStringLiteral("読み込んだページをこのフォルダにも保存する")),
        valued("offline", "DIR", QStringLiteral("ネットワークの代わりにこのフォルダの保存ページから読む")),
        flag("refresh", QStringLiteral("キャッシュを使わず、すべてのページを読み直す")),
        flag("csv", QStringLiteral("CSV をアプリケーションフォルダに書き出す")),
        flag("no-journal", QStringLiteral("今回は成績ジャーナルに記録しない")),
    };
    if (day) {
        options.push_back(
            valued("races", "A-B", QStringLiteral("読み込むレースの範囲（1〜12）"), QStringLiteral("1-12")));
        options.insert(options.end(), sources.begin(), sources.end());
        options.push_back(
            valued("report", "DIR", QStringLiteral("レースごとのレポートと1日の index.html を書き出す")));
        options.push_back(
            valued("json-dir", "DIR", QStringLiteral("レースごとの JSON をこのフォルダに書き出す")));
        return options;
    }
    options.push_back(valued("race", "N", QStringLiteral("レース番号（1〜12）"), {}, true));
    options.insert(options.end(), sources.begin(), sources.end());
    const std::vector<OptionSpec> outputs {
        valued("json", "FILE|-", QStringLiteral("レースを JSON で書き出す（- は標準出力）")),
        valued("graphs-pdf", "FILE", QStringLiteral("グラフ印刷を PDF で書き出す（16頭で1ページ、A4横）")),
        valued("table-pdf", "FILE", QStringLiteral("馬柱印刷を PDF で書き出す（A4縦）")),
        valued("png", "DIR", QStringLiteral("各馬のグラフ、比較グラフ、馬柱を PNG で書き出す")),
        valued("views-json", "FILE", QStringLiteral("画面の表示内容を JSON で書き出す")),
        valued("report", "DIR", QStringLiteral("HTML のレポート（index.html と SVG のグラフ）を書き出す")),
    };
    options.insert(options.end(), outputs.begin(), outputs.end());
    return options;
}

std::optional<LoadOptions> readRaceOptions(const CommandLine &line, QString &error)
{
    LoadOptions load;
    const auto bad = [&error](const QString &name, const QString &value, const QString &expected) {
        error = QStringLiteral("--%1 の値 %2 は使えません（%3）").arg(name, value, expected);
        return false;
    };
    const auto twoDigitField = [&](QString &field) {
        return [&field, &bad](const QString &name, const QString &value) {
            const auto text = twoDigits(value, 99);
            if (!text)
                return bad(name, value, QStringLiteral("1〜99"));
            field = *text;
            return true;
        };
    };
    const auto text = [](QString &field) {
        return [&field](const QString &, const QString &value) { return field = value, true; };
    };
    using Reader = std::function<bool(const QString &name, const QString &value)>;
    const std::map<QString, Reader> readers {
        {QStringLiteral("site"),
            [&](const QString &n, const QString &v) {
                if (v != QStringLiteral("1") && v != QStringLiteral("2"))
                    return bad(n, v, QStringLiteral("1 か 2"));
                load.site = v.toInt();
                return true;
            }},
        {QStringLiteral("year"),
            [&](const QString &n, const QString &v) {
                if (!allDigits(v) || v.size() != 4)
                    return bad(n, v, QStringLiteral("4桁の年"));
                load.year = v;
                return true;
            }},
        {QStringLiteral("course"),
            [&](const QString &n, const QString &v) {
                const auto name = courseName(v);
                if (!name)
                    return bad(n, v, QStringLiteral("中央の場の名前か 01〜%1 のコード").arg(kCourseCount));
                load.course = *name;
                return true;
            }},
        {QStringLiteral("meeting"), twoDigitField(load.meeting)},
        {QStringLiteral("day"), twoDigitField(load.day)},
        {QStringLiteral("race"),
            [&](const QString &n, const QString &v) {
                const auto race = twoDigits(v, kMaxRaceNumber);
                if (!race)
                    return bad(n, v, QStringLiteral("1〜%1").arg(kMaxRaceNumber));
                load.race = *race;
                return true;
            }},
        {QStringLiteral("races"),
            [&](const QString &n, const QString &v) {
                const QStringList ends = v.split(u'-');
                const auto from = twoDigits(ends.value(0), kMaxRaceNumber);
                const auto to = ends.size() == 1 ? from : twoDigits(ends.value(1), kMaxRaceNumber);
                if (ends.size() > 2 || !from || !to || to->toInt() < from->toInt())
                    return bad(n, v, QStringLiteral("1〜12 の範囲、たとえば 5-8"));
                load.firstRace = from->toInt();
                load.lastRace = to->toInt();
                return true;
            }},
        {QStringLiteral("jobs"),
            [&](const QString &n, const QString &v) {
                if (!allDigits(v) || v.size() > 3 || v.toInt() < 1)
                    return bad(n, v, QStringLiteral("1〜999"));
                load.jobs = v.toInt();
                return true;
            }},
        {QStringLiteral("timeout"),
            [&](const QString &n, const QString &v) {
                bool ok = false;
                const double seconds = v.toDouble(&ok);
                if (!ok || !(seconds > 0) || seconds > 86400)
                    return bad(n, v, QStringLiteral("0 より大きく 86400 までの秒数"));
                load.timeoutSeconds = seconds;
                return true;
            }},
        {QStringLiteral("base1"), text(load.base1)},
        {QStringLiteral("base2"), text(load.base2)},
        {QStringLiteral("json"), text(load.jsonPath)},
        {QStringLiteral("archive"), text(load.archiveDir)},
        {QStringLiteral("offline"), text(load.offlineDir)},
        {QStringLiteral("graphs-pdf"), text(load.graphsPdf)},
        {QStringLiteral("table-pdf"), text(load.tablePdf)},
        {QStringLiteral("png"), text(load.pngDir)},
        {QStringLiteral("views-json"), text(load.viewsJson)},
        {QStringLiteral("report"), text(load.reportDir)},
        {QStringLiteral("json-dir"), text(load.jsonDir)},
    };
    // Only the command's own options reach here: the parser refused the others.
    for (const auto &[name, value] : line.values) {
        const auto reader = readers.find(name);
        if (reader != readers.end() && !reader->second(name, value))
            return std::nullopt;
    }
    load.csv = line.switches.contains(QStringLiteral("csv"));
    load.refresh = line.switches.contains(QStringLiteral("refresh"));
    load.noJournal = line.switches.contains(QStringLiteral("no-journal"));
    return load;
}

}  // namespace marunoki::cli
