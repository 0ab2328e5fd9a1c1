#pragma once
// Ending the program while a modal box is up (a message, the print dialog, a
// question). Qt hands a key to the box alone and drops the window manager's
// close request for the window the box blocks, so Ctrl+Q and the main window's
// close box would do nothing until the box is answered. This watches for both:
// the open boxes are closed as their Escape closes them and `quit` ends the
// program as 終了 does. Without a modal box nothing is taken: Qt's own handling
// (the menu's Ctrl+Q, the close event) goes on.

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace marunoki::gui {

class QuitPastModal : public QObject, public QAbstractNativeEventFilter {
public:
    // window: the main window, whose close box counts; quit: what 終了 does.
    QuitPastModal(QWidget *window, std::function<void()> quit);
    ~QuitPastModal() override;

    // Closes every modal box, then quits on the next turn of the event loop,
    // once their own loops have returned.
    void quitNow();

    bool eventFilter(QObject *watched, QEvent *event) override;
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    QPointer<QWidget> window_;
    std::function<void()> quit_;
    bool quitting_ = false;
};

}  // namespace marunoki::gui
