// The marks on the command line: mark (one runner's mark in the journal) and
// marks (the journal's marks to and from a CSV file).

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/journal_commands.h"
#include "cli/load_command.h"
#include "cli/race_options.h"

#include "app/output_target.h"
#include "app/race_store.h"
#include "app/regular_file.h"
#include "journal/journal.h"
#include "journal/tally_request.h"
#include "output/marks_file.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

#include <cstdio>

namespace marunoki::cli {

namespace {

// A marks file is a few thousand rows; anything this large is not one.
constexpr qint64 kMaxMarksFileSize = 16 * 1024 * 1024;

const QString kClearMark = QStringLiteral("-");

// An import quicker than this shows no progress line.
constexpr qint64 kQuietImportMs = 3000;

OptionSpec valued(const char *name, const char *valueName, const QString &help, bool required = false)
{
    return {QString::fromLatin1(name), QString::fromUtf8(valueName), help, {}, required};
}

int runMark(const CommandLine &line)
{
    QString error;
    const std::optional<LoadOptions> race = readRaceOptions(line, error);
    if (!race)
        return usageError(line.command, error);
    const QString umaText = line.value(QStringLiteral("uma"));
    bool ok = false;
    const int number = umaText.toInt(&ok);
    if (!ok || !isHorseNumber(number) || umaText.startsWith(u'+'))
        return usageError(line.command,
            QStringLiteral("--uma の値 %1 は使えません（1〜%2）").arg(umaText).arg(kMaxRunners));
    const QString symbol = line.arguments.value(0);
    const std::optional<Mark> mark = markOfSymbol(symbol);
    if (!mark && symbol != kClearMark)
        return usageError(
            line.command, QStringLiteral("印 %1 は ◎ ○ ▲ △ ☆ × - のどれでもありません").arg(symbol));

    const AppFolder folder = appFolderOf(line);
    Journal::Opened opened = openExistingJournal(folder.file(kJournalFile));
    if (!opened.status.ok())
        return openFailure(opened.status);
    Journal &journal = *opened.value;
    const QString course = QStringLiteral("%1").arg(zyoIndex(race->course), 2, 10, QLatin1Char('0'));
    const QString raceName = QStringLiteral("サイト%1 %2年 %3 %4回%5日 %6R")
                                 .arg(*race->site)
                                 .arg(race->year, race->course)
                                 .arg(race->meeting.toInt())
                                 .arg(race->day.toInt())
                                 .arg(race->race.toInt());
    const auto key = journal.recordedRace(*race->site, race->year.toInt(), course, race->meeting.toInt(),
        race->day.toInt(), race->race.toInt());
    if (!key.status.ok())
        return openFailure(key.status);
    if (!key.value) {
        complain(
            raceName + QStringLiteral(" は成績ジャーナルにありません（先にレースを読み込んでください）"));
        return kExitFailed;
    }
    // The mark is keyed by the runner's page as recorded, as the window keys it.
    const auto runner = journal.recordedRunner(*key.value, number);
    if (!runner.status.ok())
        return openFailure(runner.status);
    if (!runner.value) {
        complain(raceName + QStringLiteral(" の出走表に %1番 はありません").arg(number));
        return kExitFailed;
    }
    // A ◎ ○ ▲ held by another horse of the race moves here (the journal's rule);
    // which one is said.
    const auto before = journal.marks(*key.value);
    if (!before.status.ok())
        return openFailure(before.status);
    const auto holder = std::find_if(before.value.begin(), before.value.end(), [&](const RunnerMark &m) {
        return mark && isSingleMark(*mark) && m.mark == *mark && m.horseUrl != runner.value->horseUrl;
    });
    const auto changes = withOldNumbersCleared(journal, {{*key.value, number, runner.value->horseUrl, mark}});
    if (!changes.status.ok())
        return openFailure(changes.status);
    if (const Status set = journal.setMarks(changes.value); !set.ok())
        return openFailure(set);
    const QString horse = QStringLiteral("%1 %2番 %3").arg(raceName).arg(number).arg(runner.value->name);
    printLine(mark ? horse + QStringLiteral(": 印 %1 を付けました").arg(markSymbol(*mark))
                   : horse + QStringLiteral(": 印を消しました"));
    if (holder != before.value.end())
        printLine(QStringLiteral("%1 を %2番 %3 から移しました")
                      .arg(markSymbol(*mark))
                      .arg(holder->number)
                      .arg(holder->name));
    std::fflush(stdout);
    return kExitAnalysed;
}

int exportMarksTo(Journal &journal, const QString &path)
{
    const MarksExport written = exportMarks(journal, path);
    if (!written.status.ok())
        return openFailure(written.status);
    printLine(QStringLiteral("印 %1 件を %2 へ書き出しました").arg(written.rows).arg(path));
    std::fflush(stdout);
    return kExitAnalysed;
}

int importMarksFrom(Journal &journal, const QString &path)
{
    const RegularFileRead file = readRegularFile(path, kMaxMarksFileSize + 1);
    if (!file.status.ok()) {
        complain(QStringLiteral("%1 を読めません（%2）").arg(path, file.status.message()));
        return kExitFailed;
    }
    if (file.bytes.size() > kMaxMarksFileSize) {
        complain(QStringLiteral("%1 は印のファイルとしては大きすぎます").arg(path));
        return kExitFailed;
    }
    // A large file says how far it got once it has taken a few seconds.
    Console console(stderr, Console::isTerminal(stderr));
    QElapsedTimer clock;
    clock.start();
    bool shown = false;
    const MarksImport imported = importMarks(journal, file.bytes, [&](qsizetype done, qsizetype total) {
        if (clock.elapsed() < kQuietImportMs)
            return;
        shown = true;
        console.status(QStringLiteral("印を取り込んでいます %1 / %2 行").arg(done).arg(total));
    });
    if (shown)
        console.finish();
    if (!imported.status.ok()) {
        complain(QStringLiteral("%1: %2").arg(path, imported.status.message()));
        return kExitFailed;
    }
    for (const UnplacedRow &row : imported.unplaced)
        printLine(QStringLiteral("%1 %2行目 取り込めません: %3").arg(path).arg(row.line).arg(row.why));
    printLine(QStringLiteral("印 %1 行を取り込みました（取り込めなかった行 %2）")
                  .arg(imported.placed)
                  .arg(imported.unplaced.size()));
    std::fflush(stdout);
    return imported.unplaced.empty() ? kExitAnalysed : kExitIncomplete;
}

int runMarks(const CommandLine &line)
{
    const QString exportPath = line.value(QStringLiteral("export"));
    const QString importPath = line.value(QStringLiteral("import"));
    if (exportPath.isEmpty() == importPath.isEmpty())
        return usageError(
            line.command, QStringLiteral("--export FILE か --import FILE のどちらか一つを指定してください"));
    const AppFolder folder = appFolderOf(line);
    if (!exportPath.isEmpty()) {
        if (const Status allowed = checkOutputTarget(folder, exportPath); !allowed.ok()) {
            complain(allowed.message());
            return kExitUsage;
        }
    }
    Journal::Opened opened = openExistingJournal(folder.file(kJournalFile));
    if (!opened.status.ok())
        return openFailure(opened.status);
    return exportPath.isEmpty() ? importMarksFrom(*opened.value, importPath)
                                : exportMarksTo(*opened.value, exportPath);
}

}  // namespace

CommandSpec markCommand()
{
    return {QStringLiteral("mark"), QStringLiteral("成績ジャーナルのレースの馬に印を付ける（- で消す）"),
        QStringLiteral(
            "印は ◎ ○ ▲ △ ☆ × のどれか、- は印を消します。\n"
            "レースは先に読み込んで成績ジャーナルにあること、馬番はその出走表にあることが要ります。\n"
            "どちらでもなければ終了コードは 1 です。"),
        QStringLiteral("MARK"), 1, true,
        {valued("site", "1|2", QStringLiteral("読込みサイト"), true),
            valued("year", "YYYY", QStringLiteral("開催年（4桁）"), true),
            valued("course", "COURSE", QStringLiteral("場の名前（東京）か2桁のコード（05）"), true),
            valued("meeting", "N", QStringLiteral("開催回（1〜99）"), true),
            valued("day", "N", QStringLiteral("開催日（1〜99）"), true),
            valued("race", "N", QStringLiteral("レース番号（1〜12）"), true),
            valued("uma", "N", QStringLiteral("馬番（1〜18）"), true)},
        &runMark};
}

CommandSpec marksCommand()
{
    return {QStringLiteral("marks"), QStringLiteral("成績ジャーナルの印を CSV に書き出す・CSV から取り込む"),
        QStringLiteral(
            "1行に1つの印: 日付,場,レース,馬番,印（見出しの行つき）。書き出しは Shift_JIS、\n"
            "取り込みは UTF-8 か Shift_JIS です。行は日付・場・レース番号でレースに、馬番でその出走表の馬に\n"
            "当てます（両サイトで読んだレースは両方に）。形の崩れたファイルは何も変えず、その行を示します。\n"
            "当てられない行は行番号と理由を示し、残りを取り込みます（終了コード 4）。"),
        {}, 0, true,
        {valued("export", "FILE", QStringLiteral("印を CSV で書き出す")),
            valued("import", "FILE", QStringLiteral("CSV の印を取り込む"))},
        &runMarks};
}

}  // namespace marunoki::cli
