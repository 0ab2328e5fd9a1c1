#include "gui/date_box.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QWidgetAction>

namespace marunoki::gui {

DateBox::DateBox(std::function<QDate()> startPage, QWidget *parent)
    : QWidget(parent)
    , startPage_(std::move(startPage))
    , edit_(new QLineEdit)
    , button_(new QToolButton)
    , popup_(new QMenu(this))
    , calendar_(new QCalendarWidget)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    edit_->setPlaceholderText(kNoDateText);
    edit_->setToolTip(QStringLiteral("2026-11-29 のように入力（F4 でカレンダー）"));
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 16);
    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    button_->setText(QStringLiteral("▼"));
    button_->setToolTip(QStringLiteral("カレンダー"));
    // Reached by F4 from the box: Tab goes on to the next filter.
    button_->setFocusPolicy(Qt::NoFocus);
    row->addWidget(edit_);
    row->addWidget(button_);

    calendar_->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    calendar_->setGridVisible(true);
    auto *holder = new QWidgetAction(popup_);
    holder->setDefaultWidget(calendar_);
    popup_->addAction(holder);
    const auto chosen = [this](QDate date) {
        setDate(date);
        popup_->close();
        edit_->setFocus();
    };
    connect(calendar_, &QCalendarWidget::clicked, this, chosen);
    connect(calendar_, &QCalendarWidget::activated, this, chosen);
    connect(button_, &QToolButton::clicked, this, &DateBox::openCalendar);
    // A date typed whole is shown the one way.
    connect(edit_, &QLineEdit::editingFinished, this, [this] {
        const TypedDate typed = value();
        if (typed.valid)
            setDate(typed.date);
    });
}

TypedDate DateBox::value() const
{
    return readTypedDate(edit_->text());
}

void DateBox::setDate(const std::optional<QDate> &date)
{
    edit_->setText(typedDateText(date));
}

void DateBox::openCalendar()
{
    const TypedDate typed = value();
    QDate page = typed.date ? *typed.date : startPage_();
    if (!page.isValid())
        page = QDate::currentDate();
    calendar_->setSelectedDate(page);
    calendar_->setCurrentPage(page.year(), page.month());
    popup_->popup(edit_->mapToGlobal(edit_->rect().bottomLeft()));
    calendar_->setFocus();
}

bool DateBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F4
            || (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
            openCalendar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace marunoki::gui
