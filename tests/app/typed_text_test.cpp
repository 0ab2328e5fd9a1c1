// What the user types into a date box, and which messages are failures.

#include "app/message_sink.h"
#include "app/typed_date.h"

#include <gtest/gtest.h>

using namespace marunoki;

namespace {

TEST(TypedDate, ReadsTheWaysADateIsTypedAndRefusesTheRest)
{
    const struct {
        QString text;
        bool valid;
        std::optional<QDate> date;
    } cases[] = {
        {QStringLiteral("2026-11-29"), true, QDate(2026, 11, 29)},
        {QStringLiteral("2026/1/5"), true, QDate(2026, 1, 5)},
        {QStringLiteral("2026.11.29"), true, QDate(2026, 11, 29)},
        {QStringLiteral("20261129"), true, QDate(2026, 11, 29)},
        {QStringLiteral(" 2026-11-29 "), true, QDate(2026, 11, 29)},
        {QStringLiteral("２０２６－１１－２９"), true, QDate(2026, 11, 29)},
        {QString(), true, std::nullopt},
        {QStringLiteral("指定なし"), true, std::nullopt},
        {QStringLiteral("指定なし20261129"), false, std::nullopt},
        {QStringLiteral("2026-02-30"), false, std::nullopt},
        {QStringLiteral("2026-13-01"), false, std::nullopt},
        {QStringLiteral("2026112"), false, std::nullopt},
        {QStringLiteral("26-11-29"), false, std::nullopt},
        {QStringLiteral("2026-11-29x"), false, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const TypedDate read = readTypedDate(c.text);
        EXPECT_EQ(read.valid, c.valid);
        EXPECT_EQ(read.date, c.date);
        // What a box shows again reads back as the same date.
        if (read.date) {
            EXPECT_EQ(readTypedDate(typedDateText(read.date)).date, read.date);
        }
    }
    EXPECT_EQ(typedDateText(QDate(2026, 1, 5)), QStringLiteral("2026-01-05"));
    EXPECT_EQ(typedDateText(std::nullopt), QString());
}

TEST(FailureMessage, AFailureIsToldFromANoteOrAnAnswer)
{
    const struct {
        QString text;
        QString detail;
        bool failure;
    } cases[] = {
        {QStringLiteral("2番の馬情報が正常に読み込めません"), QStringLiteral("https://x/ (HTTP 404)"), true},
        {QStringLiteral("WebData読込みエラー(err-AA01)"), QString(), true},
        {QStringLiteral("印刷できません"), QString(), true},
        {QStringLiteral("出馬表が正常に読み込めません"), QString(), true},
        {QStringLiteral("場を選択してください"), QString(), false},
        {QStringLiteral("処理を中止します（ユーザーキャンセル）"), QString(), false},
        {QStringLiteral("2ページ目を印刷します"), QString(), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isFailureMessage(c.text, c.detail), c.failure) << c.text.toStdString();
}

}  // namespace
