// The maintenance dialogs the main window opens from its menus. Each is
// modeless; a second request brings the open one to the front.

#include "gui/main_window.h"

#include "gui/about_dialog.h"
#include "gui/gui_sinks.h"
#include "gui/options_dialog.h"
#include "gui/track_update_dialog.h"

#include <QApplication>
#include <QLabel>

namespace marunoki::gui {

namespace {

// Shows a dialog that deletes itself when closed.
void showModeless(QDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

// Brings an open dialog to the front; false when there is none.
bool raiseOpen(QDialog *dialog)
{
    if (dialog == nullptr)
        return false;
    dialog->raise();
    dialog->activateWindow();
    return true;
}

}  // namespace

void MainWindow::openOptions()
{
    if (raiseOpen(optionsDialog_))
        return;
    auto *dialog = new OptionsDialog(folder_, settings_, *messages_, this);
    // A new share moves the reference line of the race on screen at once.
    connect(dialog, &OptionsDialog::settingsSaved, this, [this] {
        if (!worker_.joinable())
            withViews([this](ViewContext &context) { shareChanged(store_, context); });
    });
    optionsDialog_ = dialog;
    showModeless(optionsDialog_);
}

void MainWindow::openAbout()
{
    if (raiseOpen(aboutDialog_))
        return;
    aboutDialog_ = new AboutDialog(QApplication::applicationVersion(), *messages_, this);
    showModeless(aboutDialog_);
}

void MainWindow::openTrackUpdate()
{
    if (raiseOpen(trackDialog_))
        return;
    auto *dialog = new TrackUpdateDialog(folder_, *messages_, this);
    connect(dialog, &TrackUpdateDialog::trackDataUpdated, versionLabel_, &QLabel::setText);
    trackDialog_ = dialog;
    showModeless(dialog);
}

}  // namespace marunoki::gui
