#pragma once
// A date box of the tally window: the date as typed ("2026-11-29"; empty shows
// "指定なし" and is no bound) and a calendar in Japanese, weeks from Sunday,
// opened by the button beside the box or F4 / Alt+↓ in it. Tab leaves the box
// as it leaves any text box. The calendar opens at the box's date, else at the
// day `startPage` gives (the journal's latest race).

#include "app/typed_date.h"

#include <QWidget>

#include <functional>

class QCalendarWidget;
class QLineEdit;
class QMenu;
class QToolButton;

namespace marunoki::gui {

class DateBox : public QWidget {
public:
    explicit DateBox(std::function<QDate()> startPage, QWidget *parent = nullptr);

    QLineEdit *edit() const { return edit_; }
    // The text as a date, no bound, or no date at all.
    TypedDate value() const;
    void setDate(const std::optional<QDate> &date);
    void openCalendar();
    // The calendar (made once, shown by openCalendar).
    QCalendarWidget *calendar() const { return calendar_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<QDate()> startPage_;
    QLineEdit *edit_;
    QToolButton *button_;
    QMenu *popup_;
    QCalendarWidget *calendar_;
};

}  // namespace marunoki::gui
