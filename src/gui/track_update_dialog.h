#pragma once
// The dialog "馬場情報ファイルの更新" (menu "馬場情報ファイル更新"): the user picks a
// saved track database ("*.dat") in a folder tree and a file list, and the
// update button installs it as marunoki.dat (maintenance/track_data_update.h does
// the work). Modeless; deletes itself when closed.
//
// It opens in the folder saved as "babadir" (the application folder when that
// folder is not there) and, however it is closed, saves the folder the user was
// in as "babadir". After a successful update it emits trackDataUpdated with the
// new version text for the main window's label and closes. A file that cannot be
// used, or a failed copy, is reported and the dialog stays open for another
// choice.

#include "app/common.h"

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListView;
class QTreeView;

namespace marunoki {
class MessageSink;
}

namespace marunoki::gui {

class TrackUpdateDialog : public QDialog {
    Q_OBJECT
public:
    // messages must outlive the dialog (the main window's sink).
    TrackUpdateDialog(const AppFolder &folder, MessageSink &messages, QWidget *parent = nullptr);

Q_SIGNALS:
    // "現在の馬場情報ファイルは yyyy/mm/dd版です" of the file just installed.
    void trackDataUpdated(const QString &versionText);

protected:
    // Every way of closing ends here: saves the current folder as "babadir".
    void done(int result) override;

private:
    void buildControls();
    void showDrive(const QString &drive);
    void showFolder(const QString &path);
    // Expands the tree down to the folder and selects it.
    void selectInTree(const QString &path);
    void update();

    AppFolder folder_;
    MessageSink &messages_;
    QString currentFolder_;
    QString chosenFolder_;
    QString chosenFile_;
    bool folderSaved_ = false;

    QLabel *versionLabel_ = nullptr;
    QComboBox *drives_ = nullptr;
    QFileSystemModel *folderModel_ = nullptr;
    QFileSystemModel *fileModel_ = nullptr;
    QTreeView *folderTree_ = nullptr;
    QListView *fileList_ = nullptr;
};

}  // namespace marunoki::gui
