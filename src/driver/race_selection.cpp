#include "driver/race_selection.h"

#include "app/common.h"
#include "app/format.h"
#include "app/race_store.h"

#include <algorithm>

namespace marunoki {

QString missingSelectionMessage(const RaceSelection &selection)
{
    // The order of the checks is the order of the boxes; only the first gap is named.
    if (selection.year.isEmpty())
        return QStringLiteral("開催年を4桁で入力してください");
    if (!selection.course)
        return QStringLiteral("場を選択してください");
    if (!selection.meeting)
        return QStringLiteral("開催回を選択してください");
    if (!selection.day)
        return QStringLiteral("開催日を選択してください");
    if (!selection.race)
        return QStringLiteral("Raceを選択してください");
    return {};
}

namespace {

constexpr int kFirstYear = 1990;
constexpr int kLastYear = 2099;

bool allDigits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A box's initial text and, for the number boxes, the most it offers (0 for
// the year and the course).
struct BoxRule {
    QString unchosen;
    int most = 0;
};

BoxRule ruleOf(SelectionBox box)
{
    switch (box) {
    case SelectionBox::Course:
        return {kCourseUnchosen, 0};
    case SelectionBox::Meeting:
        return {kMeetingUnchosen, kMaxMeetings};
    case SelectionBox::Day:
        return {kDayUnchosen, kMaxDaysOfMeeting};
    case SelectionBox::Race:
        return {kRaceUnchosen, kMaxRacesOfDay};
    case SelectionBox::Year:
        break;
    }
    return {};
}

}  // namespace

QString unchosenText(SelectionBox box)
{
    return ruleOf(box).unchosen;
}

std::optional<QString> selectionValue(SelectionBox box, const QString &text)
{
    if (box == SelectionBox::Course) {
        return zyoIndex(text) > 0 ? std::optional(text) : std::nullopt;
    }
    if (text.isEmpty() || !allDigits(text))
        return std::nullopt;
    if (box == SelectionBox::Year) {
        const int year = text.toInt();
        if (text.size() != 4 || year < kFirstYear || year > kLastYear)
            return std::nullopt;
        return text;
    }
    const int number = text.toInt();
    if (text.size() > 2 || number < 1 || number > ruleOf(box).most)
        return std::nullopt;
    return formatNumber(number, QStringLiteral("00"));
}

BoxInput selectionInput(SelectionBox box, const QString &text)
{
    if (selectionValue(box, text))
        return BoxInput::Value;
    const QString unchosen = unchosenText(box);
    if (text.isEmpty() || (!unchosen.isEmpty() && unchosen.startsWith(text)))
        return BoxInput::Partial;
    if (box == SelectionBox::Course) {
        const auto &names = courseNames();
        const bool begun = std::any_of(names.begin() + 1, names.begin() + 1 + kCourseCount,
            [&text](const QString &name) { return name.startsWith(text); });
        return begun ? BoxInput::Partial : BoxInput::Refused;
    }
    if (!allDigits(text))
        return BoxInput::Refused;
    if (box == SelectionBox::Year) {
        // The first digits of a year still to be typed whole.
        const QString low = QString::number(kFirstYear).left(text.size());
        const QString high = QString::number(kLastYear).left(text.size());
        return text.size() < 4 && text >= low && text <= high ? BoxInput::Partial : BoxInput::Refused;
    }
    // "0" before the second digit.
    return text == QStringLiteral("0") ? BoxInput::Partial : BoxInput::Refused;
}

RaceSelection raceOfBoxes(const SelectionTexts &texts, ReadingSite site)
{
    return {selectionValue(SelectionBox::Year, texts.year).value_or(QString()),
        selectionValue(SelectionBox::Course, texts.course),
        selectionValue(SelectionBox::Meeting, texts.meeting), selectionValue(SelectionBox::Day, texts.day),
        selectionValue(SelectionBox::Race, texts.race), site};
}

QString courseCode(const QString &courseName)
{
    return formatNumber(zyoIndex(courseName), QStringLiteral("00"));
}

QString site1CardUrl(const QString &base, const RaceSelection &selection)
{
    return base + QStringLiteral("/scores/") + selection.year + u'/'
        + courseCode(selection.course.value_or(QString())) + u'/' + selection.meeting.value_or(QString())
        + u'/' + selection.day.value_or(QString()) + u'/' + selection.race.value_or(QString())
        + QStringLiteral("/denma.html");
}

QString site2CardUrl(const QString &base, const RaceSelection &selection)
{
    // Twelve digits: year, course, meeting, day, race.
    return base + QStringLiteral("/race/page.php?param[race]=") + selection.year
        + courseCode(selection.course.value_or(QString())) + selection.meeting.value_or(QString())
        + selection.day.value_or(QString()) + selection.race.value_or(QString())
        + QStringLiteral("&param[option]=shutuba");
}

QString raceLabel(const RaceSelection &selection)
{
    if (!selection.course || !selection.race)
        return {};
    return QStringLiteral("%1 %2R").arg(*selection.course).arg(selection.race->toInt());
}

}  // namespace marunoki
