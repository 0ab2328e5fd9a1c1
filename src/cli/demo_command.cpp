// The demo: the bundled sample race (samples/), loaded offline from its page
// archive into a temporary application folder that holds the sample track
// database, the sample local-racing database and the sample settings; the
// results go to ./marunoki-demo/ (the JSON and CSV exports, both print jobs as
// PDF files, the pictures, the views dump and the browsable report), a summary
// table to stdout, and last the report's index.html as the file to open first.
// Then the journal: the sample day (races 10 to 12) recorded, its results filled
// from the "after the race" archive, and the tally printed and written as HTML
// into ./marunoki-demo/tally/ (the journal itself kept beside it).

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/journal_commands.h"
#include "cli/load_command.h"

#include "app/format.h"
#include "app/race_store.h"
#include "journal/journal.h"
#include "maintenance/first_start.h"
#include "output/csv_export.h"
#include "output/day_report.h"
#include "output/race_json.h"
#include "output/race_report.h"
#include "output/tally_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace marunoki::cli {

namespace {

// Files of the samples folder the demo needs.
const QStringList kSampleFiles
    = {QStringLiteral("marunoki.dat"), QStringLiteral("NAR_data.mdb"), QStringLiteral("marunoki.ini")};
const QString kSite1Archive = QStringLiteral("site1");
const QString kSite1AfterArchive = QStringLiteral("site1-after");

// Columns of the summary, padded by display width (a CJK character takes two).
int displayWidth(const QString &text)
{
    int width = 0;
    for (QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

QString padRight(const QString &text, int width)
{
    return text + QString(qMax(0, width - displayWidth(text)), u' ');
}

QString padLeft(const QString &text, int width)
{
    return QString(qMax(0, width - displayWidth(text)), u' ') + text;
}

QString figure(float value)
{
    return value == 0 ? QStringLiteral("-") : formatNumber(value, QStringLiteral("0.0"));
}

QString summaryTable(const RaceStore &store)
{
    QString out = formatDate(store.raceDate, QStringLiteral("yyyy/mm/dd")) + u' ' + store.raceTitle + u' '
        + store.raceConditions + u'\n';
    int nameWidth = displayWidth(QStringLiteral("馬名"));
    for (int n = 1; n <= store.fieldSize; ++n)
        nameWidth = qMax(nameWidth, displayWidth(store.horses[n].name));
    const QStringList heads = {QStringLiteral("指数数"), QStringLiteral("平均"), QStringLiteral("最高"),
        QStringLiteral("90日平均"), QStringLiteral("脚質")};
    constexpr int kColumn = 9;
    out += padLeft(QStringLiteral("馬番"), 4) + u' ' + padRight(QStringLiteral("馬名"), nameWidth);
    for (const QString &head : heads)
        out += padLeft(head, kColumn);
    out += u'\n';
    for (int n = 1; n <= store.fieldSize; ++n) {
        out += padLeft(QString::number(n), 4) + u' ' + padRight(store.horses[n].name, nameWidth);
        out += padLeft(QString::number(qint32(store.horses[n].meanFigure.runs)), kColumn);
        out += padLeft(figure(store.horses[n].meanFigure.value), kColumn);
        out += padLeft(figure(store.horses[n].bestFigure.value), kColumn);
        out += padLeft(figure(store.horses[n].recentMeanFigure.value), kColumn);
        out += padLeft(figure(store.horses[n].runningStyle.value), kColumn);
        out += u'\n';
    }
    out += QStringLiteral("連対基準線 ") + figure(store.referenceFigure) + u'\n';
    return out;
}

void printText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// The journal part of the demo, on the application folder the race was loaded in.
int journalDemo(const QString &samples, const AppFolder &folder, const QDir &out)
{
    printText(QStringLiteral("\n成績ジャーナル: サンプルの1日（10R〜12R）を記録します\n"));
    // The day command itself, as `day --site 1 --year 2026 ... --races 10-12` runs it.
    static const CommandSpec daySpec = dayCommand();
    CommandLine day;
    day.command = &daySpec;
    day.appDir = folder.path();
    day.values = {{QStringLiteral("site"), QStringLiteral("1")},
        {QStringLiteral("year"), QStringLiteral("2026")}, {QStringLiteral("course"), QStringLiteral("東京")},
        {QStringLiteral("meeting"), QStringLiteral("05")}, {QStringLiteral("day"), QStringLiteral("09")},
        {QStringLiteral("races"), QStringLiteral("10-12")},
        {QStringLiteral("offline"), samples + u'/' + kSite1Archive}};
    if (const int status = daySpec.run(day); status != kExitAnalysed)
        return status;

    printText(QStringLiteral("\nレース後の馬のページから結果を取得します\n"));
    LoadOptions after;
    after.offlineDir = samples + u'/' + kSite1AfterArchive;
    if (const int status = runResults(folder, after, {}); status != kExitAnalysed)
        return status;

    printText(QStringLiteral("\n成績集計\n"));
    JournalOptions tally;
    tally.htmlDir = out.filePath(kTallyFolder);
    if (const int status = runTally(folder, tally); status != kExitAnalysed)
        return status;
    // The race's page leads to the tally.
    if (const Status linked
        = linkTallyPage(out.filePath(kReportIndex), kTallyFolder + QStringLiteral("/index.html"));
        !linked.ok()) {
        complain(linked.message());
        return kExitFailed;
    }
    // Every connection is closed, so the file holds everything (no log beside it).
    const QString kept = out.filePath(kJournalFile);
    QFile::remove(kept);
    if (!QFile::copy(folder.file(kJournalFile), kept)) {
        complain(QStringLiteral("%1 を %2 に写せません").arg(kJournalFile, kept));
        return kExitFailed;
    }
    printText(QStringLiteral(
        "\n集計のページ: %1\n成績ジャーナル: %2（marunoki-cli --app-dir %3 tally で集計できます）\n")
                  .arg(out.filePath(QStringLiteral("tally/index.html")), kept, out.path()));
    return kExitAnalysed;
}

}  // namespace

namespace {

int runDemo(const CommandLine &)
{
    const QString samples
        = findSampleFolder(QCoreApplication::applicationDirPath(), QString::fromUtf8(MARUNOKI_SAMPLES_DIR));
    if (samples.isEmpty()) {
        complain(QStringLiteral("見本レース（samples/site1/index.tsv）がプログラムのそばにありません"));
        return kExitFailed;
    }
    QTemporaryDir appDir;
    if (!appDir.isValid()) {
        complain(QStringLiteral("一時フォルダを作れません: %1").arg(appDir.errorString()));
        return kExitFailed;
    }
    for (const QString &name : kSampleFiles) {
        if (!QFile::copy(samples + u'/' + name, appDir.filePath(name))) {
            complain(QStringLiteral("%2 の %1 を写せません").arg(name, samples));
            return kExitFailed;
        }
    }
    const QString outDir = QDir::current().absoluteFilePath(QStringLiteral("marunoki-demo"));
    if (!QDir().mkpath(outDir)) {
        complain(QStringLiteral("フォルダ %1 を作れません").arg(outDir));
        return kExitFailed;
    }

    // 2026-11-29, 5回東京9日 11R on Site 1, the race the sample generator writes.
    LoadOptions load;
    load.site = 1;
    load.year = QStringLiteral("2026");
    load.course = QStringLiteral("東京");
    load.meeting = QStringLiteral("05");
    load.day = QStringLiteral("09");
    load.race = QStringLiteral("11");
    load.offlineDir = samples + u'/' + kSite1Archive;
    const QDir out(outDir);
    load.graphsPdf = out.filePath(QStringLiteral("graphs.pdf"));
    load.tablePdf = out.filePath(QStringLiteral("table.pdf"));
    load.pngDir = outDir;
    load.viewsJson = out.filePath(QStringLiteral("views.json"));
    load.reportDir = outDir;
    load.summaryLine = false;

    Console console(stderr, Console::isTerminal(stderr));
    RaceStore store;
    const int status = runLoadCommand(load, AppFolder(appDir.path()), store, console);
    if (status != kExitAnalysed)
        return status;
    // The CSV goes where the program would put it, the application folder: here
    // the demo's output folder.
    if (!writeOutput(outDir + QStringLiteral("/race.json"), raceStoreJson(store))
        || !writeCsv(store, AppFolder(outDir), console))
        return kExitFailed;
    const QString report = out.filePath(kReportIndex);
    const QString written = QStringLiteral("\n%1 に書き出しました: race.json, CSV, graphs.pdf, table.pdf, "
                                           "graph-01.png ほか, hikaku.png, bacyu.png, "
                                           "views.json, レポート\n"
                                           "まずブラウザでレポートを開いてください: %2\n")
                                .arg(outDir + u'/', report);
    const QByteArray table = (summaryTable(store) + written).toUtf8();
    std::fwrite(table.constData(), 1, size_t(table.size()), stdout);
    std::fflush(stdout);
    return journalDemo(samples, AppFolder(appDir.path()), out);
}

}  // namespace

CommandSpec demoCommand()
{
    return {QStringLiteral("demo"),
        QStringLiteral("同梱の見本レースを読み込み、すべての出力を ./marunoki-demo/ に書き出す"),
        QStringLiteral("見本の馬場情報ファイルと設定を一時フォルダに置いて読むので、アプリケーションフォルダ"
                       "は使いません。"),
        {}, 0, false, {}, &runDemo};
}

}  // namespace marunoki::cli
