#include "gui/track_update_dialog.h"

#include "app/message_sink.h"
#include "maintenance/track_data_update.h"
#include "settings/settings.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace marunoki::gui {

namespace {

// Shown when the installed file has no issue date or cannot be read.
const QString kVersionUnknown = QStringLiteral("現在の馬場情報ファイルの版は不明です");

// The drive (file-system root) a folder lies on.
QString driveOf(const QString &folder)
{
    for (const QFileInfo &drive : QDir::drives()) {
        if (folder.startsWith(drive.absoluteFilePath()))
            return drive.absoluteFilePath();
    }
    return QDir::rootPath();
}

}  // namespace

TrackUpdateDialog::TrackUpdateDialog(const AppFolder &folder, MessageSink &messages, QWidget *parent)
    : QDialog(parent)
    , folder_(folder)
    , messages_(messages)
{
    setWindowTitle(QStringLiteral("馬場情報ファイルの更新"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    versionLabel_->setText(installedTrackVersion(folder_, messages_).value_or(kVersionUnknown));
    const QString start = updateStartFolder(folder_);
    showDrive(driveOf(start));
    showFolder(start);
}

void TrackUpdateDialog::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("保存した「馬場更新ファイル」を選択し、更新ボタンを押してください")));
    versionLabel_ = new QLabel(kVersionUnknown);
    layout->addWidget(versionLabel_);

    drives_ = new QComboBox;
    for (const QFileInfo &drive : QDir::drives())
        drives_->addItem(drive.absoluteFilePath());
    layout->addWidget(drives_);

    auto *lists = new QHBoxLayout;
    folderModel_ = new QFileSystemModel(this);
    folderModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folderTree_ = new QTreeView;
    folderTree_->setModel(folderModel_);
    for (int column = 1; column < folderModel_->columnCount(); ++column)
        folderTree_->hideColumn(column);
    folderTree_->setHeaderHidden(true);
    lists->addWidget(folderTree_, 1);

    fileModel_ = new QFileSystemModel(this);
    fileModel_->setFilter(QDir::Files);
    fileModel_->setNameFilters({QStringLiteral("*.dat")});
    fileModel_->setNameFilterDisables(false);
    fileList_ = new QListView;
    fileList_->setModel(fileModel_);
    lists->addWidget(fileList_, 1);
    layout->addLayout(lists, 1);

    auto *buttons = new QHBoxLayout;
    auto *updateButton = new QPushButton(QStringLiteral("馬場ファイルの更新"));
    auto *cancelButton = new QPushButton(QStringLiteral("キャンセル"));
    buttons->addStretch();
    buttons->addWidget(updateButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    resize(640, 420);

    connect(drives_, &QComboBox::textActivated, this, &TrackUpdateDialog::showDrive);
    connect(folderModel_, &QFileSystemModel::directoryLoaded, this, [this](const QString &loaded) {
        // A parent's rows have come; the model sorts them a moment later, so the
        // folder gets its place in the tree once that is done.
        if (currentFolder_.startsWith(loaded))
            QTimer::singleShot(100, this, [this] { selectInTree(currentFolder_); });
    });
    connect(folderTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) {
            if (current.isValid())
                showFolder(folderModel_->filePath(current));
        });
    connect(fileList_, &QListView::clicked, this, [this](const QModelIndex &index) {
        chosenFolder_ = currentFolder_;
        chosenFile_ = fileModel_->fileName(index);
    });
    connect(updateButton, &QPushButton::clicked, this, &TrackUpdateDialog::update);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TrackUpdateDialog::showDrive(const QString &drive)
{
    // A drive that cannot be read leaves the lists where they were.
    if (!QFileInfo(drive).isReadable())
        return;
    drives_->setCurrentText(drive);
    folderTree_->setRootIndex(folderModel_->setRootPath(drive));
    showFolder(drive);
}

void TrackUpdateDialog::showFolder(const QString &path)
{
    currentFolder_ = path;
    selectInTree(path);
    fileList_->setRootIndex(fileModel_->setRootPath(path));
}

void TrackUpdateDialog::selectInTree(const QString &path)
{
    // The file-system model fills its folders as it reads them: a folder deep in
    // the tree has no index until its parents are read, so the selection is
    // made again when the model has read the folder's parent.
    const QModelIndex inTree = folderModel_->index(path);
    if (!inTree.isValid())
        return;
    for (QModelIndex parent = inTree.parent(); parent.isValid(); parent = parent.parent())
        folderTree_->expand(parent);
    folderTree_->expand(inTree);
    if (folderTree_->currentIndex() != inTree)
        folderTree_->setCurrentIndex(inTree);
    folderTree_->scrollTo(inTree);
}

void TrackUpdateDialog::update()
{
    const QString source = chosenFile_.isEmpty() ? QString() : QDir(chosenFolder_).filePath(chosenFile_);
    // The messages wait until the busy cursor is gone.
    RecordingSink held;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TrackUpdateResult result = updateTrackFile(folder_, source, held);
    QApplication::restoreOverrideCursor();
    const QStringList texts = held.messages();
    const QStringList details = held.details();
    for (qsizetype i = 0; i < texts.size(); ++i)
        messages_.detailedMessage(texts[i], details.value(i));
    switch (result.outcome) {
    case TrackUpdateResult::Outcome::Updated:
        Q_EMIT trackDataUpdated(result.versionText);
        accept();
        break;
    case TrackUpdateResult::Outcome::NoFileChosen:
    case TrackUpdateResult::Outcome::NoIssueDate:
        reject();
        break;
    case TrackUpdateResult::Outcome::SameFile:
    case TrackUpdateResult::Outcome::InUse:
    case TrackUpdateResult::Outcome::Unopenable:
    case TrackUpdateResult::Outcome::NotTrackData:
    case TrackUpdateResult::Outcome::CopyFailed:
        break;  // the user may choose another file
    }
}

void TrackUpdateDialog::done(int result)
{
    if (!folderSaved_) {
        folderSaved_ = true;
        const Status written = writeTrackDataFolder(folder_, QDir::toNativeSeparators(currentFolder_));
        if (!written.ok())
            messages_.message(written.message());
    }
    QDialog::done(result);
}

}  // namespace marunoki::gui
