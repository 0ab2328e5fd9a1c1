#include "cli/tally_options.h"

#include "app/common.h"
#include "app/race_store.h"

#include <QRegularExpression>
#include <QStringList>

namespace marunoki {

namespace {

// "A-B" (or "A" for A-A), whole numbers, A <= B.
bool readRange(
    const QString &option, const QString &text, std::optional<std::pair<int, int>> &range, QString &error)
{
    if (text.isEmpty())
        return true;
    const QStringList parts = text.split(u'-');
    bool okA = false, okB = false;
    const int a = parts.value(0).toInt(&okA);
    const int b = parts.size() == 2 ? parts[1].toInt(&okB) : a;
    okB = parts.size() == 1 ? okA : okB;
    if (parts.size() > 2 || !okA || !okB || a < 0 || a > b) {
        error = QStringLiteral("%1 は A-B で指定してください（%2）").arg(option, text);
        return false;
    }
    range = std::pair(a, b);
    return true;
}

}  // namespace

bool readDateOption(const QString &option, const QString &text, std::optional<QDate> &date, QString &error)
{
    if (text.isEmpty())
        return true;
    const QDate parsed = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!parsed.isValid()) {
        // The form is right but no calendar has the day (2026-13-01, 2026-02-30).
        static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
        error = form.match(text).hasMatch()
            ? QStringLiteral("%1 の日付 %2 はありません（暦にない月か日です）").arg(option, text)
            : QStringLiteral("%1 は YYYY-MM-DD で指定してください（%2）").arg(option, text);
        return false;
    }
    date = parsed;
    return true;
}

Result<TallyRequest> parseTallyRequest(const TallyOptions &options)
{
    TallyRequest request;
    TallyFilter &filter = request.filter;
    QString error;
    const auto refused = [&error] { return Result<TallyRequest>::failure(Status::failure(error)); };
    if (!readDateOption(QStringLiteral("--from"), options.from, filter.from, error)
        || !readDateOption(QStringLiteral("--to"), options.to, filter.to, error))
        return refused();
    if (!options.site.isEmpty()) {
        if (options.site != QStringLiteral("1") && options.site != QStringLiteral("2")) {
            error = QStringLiteral("--site は 1 か 2 です（%1）").arg(options.site);
            return refused();
        }
        filter.site = options.site.toInt();
    }
    if (!options.course.isEmpty()) {
        int index = zyoIndex(options.course);
        if (index == 0) {
            bool ok = false;
            index = options.course.toInt(&ok);
            index = ok && options.course.size() <= 2 && index >= 1 && index <= kCourseCount ? index : 0;
        }
        if (index == 0) {
            error = QStringLiteral("--course は競馬場の名前かコードです（%1）").arg(options.course);
            return refused();
        }
        filter.course = QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0'));
    }
    if (!options.surface.isEmpty()) {
        if (options.surface != QStringLiteral("芝") && options.surface != QStringLiteral("ダ")) {
            error = QStringLiteral("--surface は 芝 か ダ です（%1）").arg(options.surface);
            return refused();
        }
        filter.surface = options.surface == QStringLiteral("芝") ? 1 : 0;
    }
    if (!readRange(QStringLiteral("--distance"), options.distance, filter.distance, error)
        || !readRange(QStringLiteral("--runners"), options.runners, filter.runners, error))
        return refused();
    std::optional<TallyKey> by;
    if (!options.by.isEmpty()) {
        by = tallyKeyOf(options.by);
        if (!by) {
            error = QStringLiteral("--by は mean, best, mean90, popularity, mark のどれかです（%1）")
                        .arg(options.by);
            return refused();
        }
    }
    request.layout.keys = tallyKeysFor(by);
    if (!options.group.isEmpty()) {
        const auto group = tallyGroupOf(options.group);
        if (!group) {
            error = QStringLiteral("--group は course, surface, distance, month, field のどれかです（%1）")
                        .arg(options.group);
            return refused();
        }
        request.layout.group = *group;
    }
    request.description = describeFilter(filter);
    return {std::move(request), Status::success()};
}

}  // namespace marunoki
