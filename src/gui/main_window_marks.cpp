// The main window's marks: the 印 menu with its keys, the context menus of the
// graph and of the head-to-head grid's rows, the mark beside the runner box and
// the 印 panel. What a command does and whether it may is RaceMarks' to say.

#include "gui/main_window.h"

#include "app/format.h"
#include "gui/cell_grid_view.h"
#include "gui/graph_pane.h"
#include "gui/gui_sinks.h"
#include "gui/mark_panel.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

namespace marunoki::gui {

namespace {

// How long a mark's note stays in the status bar.
constexpr int kMarkNoteMs = 8000;

}  // namespace

void MainWindow::buildMarkMenu()
{
    markMenu_ = menuBar()->addMenu(QStringLiteral("印(&M)"));
    markNote_ = markMenu_->addAction(QString());
    markNote_->setEnabled(false);
    // The keys work while this window has the focus, except in a selection box
    // being typed into: a line edit takes the digits before any shortcut.
    for (const MarkCommand &command : markCommands()) {
        QAction *action = markMenu_->addAction(command.caption, QKeySequence(command.key), this,
            [this, mark = command.mark] { markRunner(views_.shownRunner, mark); });
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

void MainWindow::connectMarks()
{
    graphPane_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(graphPane_, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &at) { popUpMarkMenu(views_.shownRunner, graphPane_->mapToGlobal(at)); });
    taisenGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(taisenGrid_, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (const qint32 runner = runnerOfTaisenRow(taisenGrid_->rowAt(at.y()), store_); runner > 0)
            popUpMarkMenu(runner, taisenGrid_->viewport()->mapToGlobal(at));
    });
    // The same way as a runner chosen in the runner box.
    connect(markPanel_, &MarkPanel::runnerChosen, this, [this](qint32 runner) {
        if (loadButton_->isEnabled())
            runnerChanged(runner);
    });
}

void MainWindow::popUpMarkMenu(qint32 runner, const QPoint &where)
{
    if (!store_.isRunner(runner) || !loadButton_->isEnabled())
        return;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *title = menu->addAction(
        QStringLiteral("%1 %2").arg(runner, 2, 10, QLatin1Char('0')).arg(store_.horses[runner].name));
    title->setEnabled(false);
    if (!marks_.possible())
        menu->addAction(marks_.offReason())->setEnabled(false);
    menu->addSeparator();
    const std::optional<Mark> current = marks_.markOf(runner);
    for (const MarkCommand &command : markCommands()) {
        QAction *action = menu->addAction(
            command.caption, this, [this, runner, mark = command.mark] { markRunner(runner, mark); });
        // The key is named as in the 印 menu; it acts on the runner shown.
        action->setShortcut(QKeySequence(command.key));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setEnabled(marks_.possible());
        // The runner's own mark is ticked (印を消す when it has none).
        action->setCheckable(true);
        action->setChecked(marks_.possible() && command.mark == current);
    }
    menu->popup(where);
}

void MainWindow::markRunner(qint32 runner, std::optional<Mark> mark)
{
    // During a load the store belongs to the worker.
    if (!loadButton_->isEnabled())
        return;
    (void)marks_.setMark(runner, mark, *messages_);
    if (!marks_.note().isEmpty())
        statusBar()->showMessage(marks_.note(), kMarkNoteMs);
    refreshMarks();
}

void MainWindow::refreshMarks()
{
    // The controls are off while a load (race or calendar) runs. Otherwise
    // the keys stay live when marking is off, so that a key says why.
    const bool idle = loadButton_->isEnabled();
    for (QAction *action : markMenu_->actions())
        action->setEnabled(action != markNote_ && idle);
    markNote_->setText(marks_.offReason());
    markNote_->setVisible(!marks_.possible());
    const std::optional<Mark> shown = marks_.markOf(views_.shownRunner);
    markLabel_->setText(shown ? markSymbol(*shown) : QString());
    markLabel_->setToolTip(marks_.possible() ? QStringLiteral("印 (1〜6キー、0で消す)") : marks_.offReason());
    markPanel_->setRows(marks_.rows(), marks_.offReason());
}

}  // namespace marunoki::gui
