#pragma once
// The window "成績集計": the tally's filters (period, site, course, surface,
// distance and field-size ranges, the table asked for, the group) and, for the
// filter chosen, the 回収率 line, the conditions and the dates counted, the
// tables as the command line prints them (単勝回収率 and 参考 included), one
// grid each beside its bar chart, the favourite line and the footer.
//
// The period is typed ("2026-11-29") or picked from a calendar that opens at the
// journal's latest race; Tab walks every filter in reading order.
//
// It only displays: the controls are read into a TallyForm, turned into a
// typed TallyRequest, and everything shown is the TallyView the core makes of
// it (tallyViewOf), made on a thread of its own so that a large journal does
// not hold the window up; a tally asked for meanwhile runs after it. A journal
// that is missing or will not open is said once through the message sink; the
// window stays open for another try. Modeless; the main window keeps one.

#include "app/common.h"
#include "app/reading_site.h"
#include "output/tally_view.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QThread;
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
    ~TallyWindow() override;
    // What is shown now.
    const TallyView &shown() const { return view_; }
    // The site whose record counts when both sites' records of a race have
    // results (the settings' reading site).
    void setPreferredSite(int site) { preferredSite_ = site; }
    // Whether a tally is being made.
    bool busy() const { return worker_ != nullptr; }

    // Sets the period and the site (the rest as they are) and tallies: the
    // days a backtest covered.
    void showRange(const QDate &from, const QDate &to, ReadingSite site);

public Q_SLOTS:
    // Tallies the journal for the controls' filter and shows it when made.
    void tally();

Q_SIGNALS:
    // A tally was made and is shown.
    void tallied();

private:
    QWidget *buildFilters();
    void showView();
    void finished(TallyView view);

    AppFolder folder_;
    MessageSink &messages_;
    TallyView view_;
    QThread *worker_ = nullptr;
    bool again_ = false;  // asked for while a tally was being made
    int preferredSite_ = 1;
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
    QComboBox *group_ = nullptr;
    QPushButton *run_ = nullptr;
    QLabel *headline_ = nullptr;
    QLabel *conditions_ = nullptr;
    QLabel *footer_ = nullptr;
    QScrollArea *tables_ = nullptr;
};

}  // namespace marunoki::gui
