#pragma once
// The desktop's "過去レース検証": what its dialog offers and hands over, what
// the loading window says while the backtest runs, and the one message at its
// end. The dialog only displays BacktestChoices and forwards them; every check
// is made here, and the backtest gets a typed BacktestRequest.

#include "app/race_store.h"
#include "app/settings_values.h"
#include "driver/backtest.h"
#include "driver/results_fetch.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

namespace marunoki {

// The dialog's controls as values.
struct BacktestChoices {
    ReadingSite site = ReadingSite::One;
    int year = 0;
    // Ticked courses by course number - 1 (札幌 .. 小倉).
    std::array<bool, kCourseCount> courses {};
    int firstMeeting = 1;
    int lastMeeting = kMaxMeetingsOfYear;
};

// What the dialog shows first: the settings' site (Site 1 when they name
// neither), last year (the last whole season), every course, every meeting.
BacktestChoices defaultBacktestChoices(const Settings &settings, const QDate &today);

// The oldest year the dialog offers.
constexpr int kFirstBacktestYear = 1986;

// The request of the choices, or why there is none (one line in Japanese): no
// site, a year before kFirstBacktestYear or after nowUtc's, no course ticked,
// a meeting range outside 1..kMaxMeetingsOfYear or the wrong way round.
struct [[nodiscard]] BacktestRequestCheck {
    std::optional<BacktestRequest> request;
    QString problem;
};
BacktestRequestCheck backtestRequestOf(const BacktestChoices &choices, const QDateTime &nowUtc);

// The loading window's line while the walk goes on: the day, days and races
// done, pages fetched and from the cache, and the time left once it is known
// ("2025-05-03 1回東京3日　5 日・57 レース済み　頁 430・キャッシュ 120　残り 約 3 分").
QString backtestStatusLine(const BacktestProgress &progress);
// How far the walk is by its estimate, 0..100; 0 before there is one.
int backtestPercent(const BacktestProgress &progress);

// The one message at the end: stopped or not, the totals (days, races
// analysed, incomplete, not read, passed over, pages), and the races that
// are incomplete or not read with their causes (the first kBacktestProblemsShown
// in the text, all of them in the detail). Success only when every race
// begun was read whole and nothing stopped it. The same kind of message as
// 成績取得's.
constexpr int kBacktestProblemsShown = 10;
ResultsReport backtestReport(const BacktestOutcome &outcome);

}  // namespace marunoki
