#include "gui/loading_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace marunoki::gui {

LoadingWindow::LoadingWindow(const QString &status, bool stoppable, QWidget *parent)
    : QDialog(parent)
    , status_(new QLabel(status))
    , bar_(new QProgressBar)
    , stop_(new QPushButton(QStringLiteral("読込み中止")))
{
    setWindowTitle(QStringLiteral("読込み中"));
    setObjectName(QStringLiteral("loadingWindow"));
    auto *box = new QVBoxLayout(this);
    // The page line names the horse being read ("05/16 <a name of up to 18
    // characters>成績読込み中・・・"): wide enough for it, wrapped rather than cut.
    status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(
        QStringLiteral("00/00 ") + QString(18, u'あ') + QStringLiteral("成績読込み中・・・")));
    status_->setWordWrap(true);
    // Before the card is read the number of runners is unknown: a busy bar.
    bar_->setRange(0, 0);
    bar_->setTextVisible(true);
    stop_->setEnabled(stoppable);
    box->addWidget(status_);
    box->addWidget(bar_);
    box->addWidget(stop_);
    connect(stop_, &QPushButton::clicked, this, &LoadingWindow::stopRequested);
}

void LoadingWindow::reject()
{
    if (stop_->isEnabled())
        Q_EMIT stopRequested();
}

}  // namespace marunoki::gui
