#include "gui/quit_past_modal.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>

#ifdef MARUNOKI_XCB
#include <xcb/xcb.h>

#include <QGuiApplication>
#endif

#include <cstdlib>
#include <memory>

namespace marunoki::gui {

namespace {

#ifdef MARUNOKI_XCB
// The window manager's close request, an atom of the X server.
xcb_atom_t deleteWindowAtom()
{
    static xcb_atom_t atom = [] {
        const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 == nullptr || x11->connection() == nullptr)
            return xcb_atom_t(XCB_ATOM_NONE);
        xcb_connection_t *connection = x11->connection();
        const char name[] = "WM_DELETE_WINDOW";
        const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 1, sizeof name - 1, name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }();
    return atom;
}
#endif

}  // namespace

QuitPastModal::QuitPastModal(QWidget *window, std::function<void()> quit)
    : QObject(window)
    , window_(window)
    , quit_(std::move(quit))
{
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(this);
}

QuitPastModal::~QuitPastModal()
{
    if (qApp != nullptr)
        qApp->removeNativeEventFilter(this);
}

void QuitPastModal::quitNow()
{
    if (quitting_)
        return;
    quitting_ = true;
    // From the top: a box may have opened another.
    for (int guard = 0; guard < 16; ++guard) {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            break;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        // A box that will not be rejected (no Escape button) is hidden: its
        // loop ends all the same.
        if (modal->isVisible())
            modal->hide();
    }
    QTimer::singleShot(0, this, [this] {
        quitting_ = false;
        if (window_)
            quit_();
    });
}

bool QuitPastModal::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && QApplication::activeModalWidget() != nullptr) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Q && key->modifiers() == Qt::ControlModifier) {
            quitNow();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool QuitPastModal::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
#ifdef MARUNOKI_XCB
    if (eventType != "xcb_generic_event_t" || window_ == nullptr
        || QApplication::activeModalWidget() == nullptr)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *client = static_cast<const xcb_client_message_event_t *>(message);
    if (client->format != 32 || client->window != xcb_window_t(window_->winId())
        || client->data.data32[0] != deleteWindowAtom() || deleteWindowAtom() == XCB_ATOM_NONE)
        return false;
    QTimer::singleShot(0, this, &QuitPastModal::quitNow);
    return true;
#else
    (void)eventType;
    (void)message;
    return false;
#endif
}

}  // namespace marunoki::gui
