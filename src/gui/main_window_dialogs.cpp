// The maintenance dialogs the main window opens from its menus. Each is
// modeless; a second request brings the open one to the front.

#include "gui/main_window.h"

#include "gui/about_dialog.h"
#include "gui/gui_sinks.h"
#include "gui/options_dialog.h"
#include "gui/track_update_dialog.h"

#include "maintenance/about_info.h"
#include "maintenance/first_start.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

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

void MainWindow::askForTrackDatabase(const QString &sampleFolder)
{
    if (!trackDatabaseMissing(folder_))
        return;
    auto *box = new QMessageBox(QMessageBox::Information, applicationTitle(),
        missingTrackDatabaseQuestion(folder_, !sampleFolder.isEmpty()), QMessageBox::NoButton, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    fitTitle(*box);
    QPushButton *update
        = box->addButton(QStringLiteral("馬場情報ファイル更新(&U)..."), QMessageBox::AcceptRole);
    QPushButton *sample = sampleFolder.isEmpty()
        ? nullptr
        : box->addButton(QStringLiteral("見本を使う(&S)"), QMessageBox::ActionRole);
    box->addButton(QStringLiteral("閉じる"), QMessageBox::RejectRole);
    box->setDefaultButton(update);
    connect(box, &QMessageBox::buttonClicked, this,
        [this, update, sample, sampleFolder](QAbstractButton *clicked) {
            if (clicked == update) {
                openTrackUpdate();
            } else if (sample != nullptr && clicked == sample) {
                const TrackUpdateResult result = useSampleTrackDatabase(folder_, sampleFolder, *messages_);
                if (result.outcome == TrackUpdateResult::Outcome::Updated)
                    versionLabel_->setText(result.versionText);
            }
        });
    box->open();
}

}  // namespace marunoki::gui
