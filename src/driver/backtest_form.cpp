#include "driver/backtest_form.h"

#include <algorithm>

namespace marunoki {

namespace {

QString minutesLeft(qint64 ms)
{
    if (ms < 60'000)
        return QStringLiteral("残り 1 分未満");
    return QStringLiteral("残り 約 %1 分").arg((ms + 30'000) / 60'000);
}

}  // namespace

BacktestChoices defaultBacktestChoices(const Settings &settings, const QDate &today)
{
    BacktestChoices choices;
    choices.site = settings.site == ReadingSite::Two ? ReadingSite::Two : ReadingSite::One;
    choices.year = today.year() - 1;
    choices.courses.fill(true);
    return choices;
}

BacktestRequestCheck backtestRequestOf(const BacktestChoices &choices, const QDateTime &nowUtc)
{
    BacktestRequestCheck check;
    if (choices.site != ReadingSite::One && choices.site != ReadingSite::Two) {
        check.problem = QStringLiteral("サイトを選択してください");
        return check;
    }
    const int thisYear = nowUtc.date().year();
    if (choices.year < kFirstBacktestYear || choices.year > thisYear) {
        check.problem
            = QStringLiteral("年は %1 から %2 の間で選んでください").arg(kFirstBacktestYear).arg(thisYear);
        return check;
    }
    if (choices.firstMeeting < 1 || choices.lastMeeting > kMaxMeetingsOfYear
        || choices.firstMeeting > choices.lastMeeting) {
        check.problem = QStringLiteral("開催回は 1 から %1 の間で、始めを終わり以下にしてください")
                            .arg(kMaxMeetingsOfYear);
        return check;
    }
    BacktestRequest request;
    for (size_t i = 0; i < choices.courses.size(); ++i)
        if (choices.courses[i])
            request.courses.append(QStringLiteral("%1").arg(int(i) + 1, 2, 10, QLatin1Char('0')));
    if (request.courses.isEmpty()) {
        check.problem = QStringLiteral("場を1つ以上選択してください");
        return check;
    }
    request.site = choices.site;
    request.year = choices.year;
    request.firstMeeting = choices.firstMeeting;
    request.lastMeeting = choices.lastMeeting;
    request.now = nowUtc;
    check.request = request;
    return check;
}

QString backtestStatusLine(const BacktestProgress &progress)
{
    QStringList parts;
    if (!progress.course.isEmpty()) {
        QString day = meetingDayName(progress.course, progress.meeting, progress.day);
        if (progress.date.isValid())
            day = progress.date.toString(QStringLiteral("yyyy-MM-dd")) + u' ' + day;
        parts << day;
    }
    parts << QStringLiteral("%1 日・%2 レース済み").arg(progress.days).arg(progress.races);
    parts << QStringLiteral("頁 %1・キャッシュ %2").arg(progress.pagesFetched).arg(progress.pagesCached);
    if (progress.remainingMs)
        parts << minutesLeft(*progress.remainingMs);
    return parts.join(QStringLiteral("　"));
}

int backtestPercent(const BacktestProgress &progress)
{
    if (!progress.remainingMs)
        return 0;
    const qint64 total = progress.elapsedMs + *progress.remainingMs;
    if (total <= 0)
        return 100;
    return int(std::clamp<qint64>(progress.elapsedMs * 100 / total, 0, 100));
}

ResultsReport backtestReport(const BacktestOutcome &outcome)
{
    ResultsReport report;
    const int analysed = outcome.count(BacktestRaceState::Analysed);
    const int incomplete = outcome.count(BacktestRaceState::Incomplete);
    const int notRead = outcome.count(BacktestRaceState::NotRead);
    const int passed = outcome.count(BacktestRaceState::PassedOver);
    QStringList lines;
    if (!outcome.status.ok())
        lines << outcome.status.message();
    if (outcome.stopped)
        lines << QStringLiteral("過去レース検証を中止しました（それまでのレースは記録しました。もう一度実行す"
                                "ると続きから読みます）");
    report.success
        = outcome.status.ok() && !outcome.stopped && incomplete == 0 && notRead == 0 && analysed + passed > 0;
    if (report.success)
        lines << QStringLiteral("過去レース検証を終えました");
    else if (outcome.status.ok() && !outcome.stopped && analysed + passed == 0)
        lines << QStringLiteral("解析できたレースはありません");
    lines << QStringLiteral(
        "%1 日、解析 %2 レース、欠けあり %3、読めず %4、記録済みで省略 %5、頁 %6（キャッシュ %7）")
                 .arg(outcome.days)
                 .arg(analysed)
                 .arg(incomplete)
                 .arg(notRead)
                 .arg(passed)
                 .arg(outcome.pagesFetched)
                 .arg(outcome.pagesCached);
    const QStringList problems = outcome.problems();
    if (!problems.isEmpty()) {
        lines << QString() << problems.mid(0, kBacktestProblemsShown);
        if (problems.size() > kBacktestProblemsShown)
            lines << QStringLiteral("ほか %1 レース").arg(problems.size() - kBacktestProblemsShown);
        report.detail = problems.join(u'\n');
    }
    report.text = lines.join(u'\n');
    return report;
}

}  // namespace marunoki
