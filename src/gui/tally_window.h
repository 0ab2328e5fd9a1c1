#pragma once
// The window "成績集計": the tally's filters (period, site, course, surface,
// distance and field-size ranges, the table asked for) and, for the filter
// chosen, the tables as the command line prints them, one grid each beside its
// bar chart, the favourite line and the footer ("結果待ち N レース").
//
// The period is typed ("2026-11-29") or picked from a calendar that opens at the
// journal's latest race; Tab walks every filter in reading order.
//
// It only displays: the controls are read into a TallyForm, and everything
// shown is the TallyView the core makes of it (tallyViewOf). A journal that is
// missing or will not open is said once through the message sink; the window
// stays open for another try. Modeless; the main window keeps one.

#include "app/common.h"
#include "app/reading_site.h"
#include "output/tally_view.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace marunoki {
class MessageSink;
}

namespace marunoki::gui {

class DateBox;

class TallyWindow : public QDialog {
    Q_OBJECT
public:
    TallyWindow(const AppFolder &folder, MessageSink &messages, QWidget *parent);

    // The controls as the core reads them (a period box holding no date is no
    // bound here; tally() refuses it).
    TallyForm form() const;
    // Sets the controls to a form read before (the filters kept for the session).
    void setForm(const TallyForm &form);
    // What is shown now.
    const TallyView &shown() const { return view_; }

    // Sets the period and the site (the rest as they are) and tallies: the
    // days a backtest covered.
    void showRange(const QDate &from, const QDate &to, ReadingSite site);

public Q_SLOTS:
    // Tallies the journal for the controls' filter and shows it.
    void tally();

private:
    QWidget *buildFilters();
    void showView();

    AppFolder folder_;
    MessageSink &messages_;
    TallyView view_;
    DateBox *from_ = nullptr;
    DateBox *to_ = nullptr;
    QComboBox *site_ = nullptr;
    QComboBox *course_ = nullptr;
    QComboBox *surface_ = nullptr;
    QSpinBox *distanceLow_ = nullptr;
    QSpinBox *distanceHigh_ = nullptr;
    QSpinBox *runnersLow_ = nullptr;
    QSpinBox *runnersHigh_ = nullptr;
    QComboBox *by_ = nullptr;
    QLabel *conditions_ = nullptr;
    QLabel *footer_ = nullptr;
    QScrollArea *tables_ = nullptr;
};

}  // namespace marunoki::gui
