#pragma once
// The loading window "読込み中": the loader's status line, a progress bar of the
// runners read so far, and "読込み中止". It only displays; the window that
// opens it decides what the stop button does (the meeting calendar has none).

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace marunoki::gui {

class LoadingWindow : public QDialog {
    Q_OBJECT
public:
    // stoppable: whether "読込み中止" can be pressed.
    LoadingWindow(const QString &status, bool stoppable, QWidget *parent);

    QLabel *statusLine() const { return status_; }
    QProgressBar *progressBar() const { return bar_; }

Q_SIGNALS:
    void stopRequested();

protected:
    // Escape or the close box is the stop button, not a way to hide the window.
    void reject() override;

private:
    QLabel *status_;
    QProgressBar *bar_;
    QPushButton *stop_;
};

}  // namespace marunoki::gui
