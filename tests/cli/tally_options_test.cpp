// The tally window's controls as a typed request: every choice is the filter
// the command line makes of the same text, an open range takes its other
// bound from the largest one, and bounds the wrong way round are swapped.

#include "cli/tally_options.h"
#include "output/tally_view.h"

#include <gtest/gtest.h>

using namespace marunoki;

TEST(TallyRequestOf, EveryChoiceOfTheWindowIsAFilterTheCommandLineTakes)
{
    struct Case {
        const char *name;
        TallyForm form;
        TallyOptions expected;
    };
    TallyForm every;
    every.from = QDate(2026, 1, 2);
    every.to = QDate(2026, 12, 31);
    every.site = 2;
    every.course = 10;
    every.surface = 1;
    every.distanceLow = 1000;
    every.distanceHigh = 2000;
    every.runnersLow = 8;
    every.runnersHigh = 12;
    every.by = 5;
    every.group = 4;
    const auto with = [](auto change) {
        TallyForm form;
        change(form);
        return form;
    };
    const Case cases[] = {
        {"nothing chosen", {}, {}},
        {"every field", every,
            {QStringLiteral("2026-01-02"), QStringLiteral("2026-12-31"), QStringLiteral("2"),
                QStringLiteral("10"), QStringLiteral("芝"), QStringLiteral("1000-2000"),
                QStringLiteral("8-12"), QStringLiteral("mark"), QStringLiteral("month")}},
        {"lower bounds only", with([](TallyForm &f) {
             f.distanceLow = 1200;
             f.runnersLow = 10;
         }),
            {{}, {}, {}, {}, {}, QStringLiteral("1200-4000"), QStringLiteral("10-18"), {}, {}}},
        {"upper bounds only, dirt", with([](TallyForm &f) {
             f.distanceHigh = 1400;
             f.runnersHigh = 9;
             f.surface = 2;
         }),
            {{}, {}, {}, {}, QStringLiteral("ダ"), QStringLiteral("0-1400"), QStringLiteral("0-9"), {}, {}}},
        {"bounds the wrong way round", with([](TallyForm &f) {
             f.distanceLow = 1800;
             f.distanceHigh = 1200;
             f.by = 4;
         }),
            {{}, {}, {}, {}, {}, QStringLiteral("1200-1800"), {}, QStringLiteral("popularity"), {}}},
        {"choices beyond the boxes", with([](TallyForm &f) {
             f.site = 3;
             f.course = 11;
             f.surface = 3;
             f.by = 6;
             f.group = 6;
         }),
            {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TallyRequest typed = tallyRequestOf(c.form);
        const Result<TallyRequest> parsed = parseTallyRequest(c.expected);
        ASSERT_TRUE(parsed.ok()) << parsed.status.message().toStdString();
        const TallyRequest &typedText = parsed.value;
        EXPECT_TRUE(typed.filter == typedText.filter);
        EXPECT_EQ(typed.description, typedText.description);
        EXPECT_EQ(typed.layout.keys, typedText.layout.keys);
        EXPECT_EQ(typed.layout.group, typedText.layout.group);
    }
}

// A text that is no filter names its option, and no request is made of it.
TEST(TallyRequestOf, ATextThatIsNoFilterIsNamedAndNothingIsTallied)
{
    struct Case {
        QString TallyOptions::*field;
        const char *text;
        const char *named;
    };
    const Case cases[] = {
        {&TallyOptions::from, "2026/01/02", "--from"},
        {&TallyOptions::to, "2026-02-30", "--to"},
        {&TallyOptions::site, "3", "--site"},
        {&TallyOptions::course, "99", "--course"},
        {&TallyOptions::surface, "障", "--surface"},
        {&TallyOptions::distance, "1800-1200", "--distance"},
        {&TallyOptions::runners, "8-12-16", "--runners"},
        {&TallyOptions::by, "odds", "--by"},
        {&TallyOptions::group, "weather", "--group"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.named);
        TallyOptions options;
        options.*c.field = QString::fromUtf8(c.text);
        const Result<TallyRequest> request = parseTallyRequest(options);
        EXPECT_FALSE(request.ok());
        EXPECT_TRUE(request.status.message().startsWith(QString::fromLatin1(c.named) + u' '))
            << request.status.message().toStdString();
    }
}
