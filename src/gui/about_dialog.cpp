#include "gui/about_dialog.h"

#include "maintenance/about_info.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace marunoki::gui {

namespace {

// Room in a title bar for the window icon, the three buttons and the margins.
constexpr int kTitleBarButtons = 170;

QLabel *namedLabel(const char *name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(const QString &version, MessageSink &messages, QWidget *parent)
    : QDialog(parent)
    , messages_(messages)
{
    const AboutTexts texts = aboutTexts(applicationTitle(), version);
    setWindowTitle(texts.caption);
    setModal(true);

    auto *icon = new QLabel;
    icon->setObjectName(QStringLiteral("picIcon"));
    const QIcon programIcon = QApplication::windowIcon().isNull()
        ? style()->standardIcon(QStyle::SP_ComputerIcon)
        : QApplication::windowIcon();
    icon->setPixmap(programIcon.pixmap(32, 32));

    auto *textColumn = new QVBoxLayout;
    QLabel *title = namedLabel("lblTitle", texts.title);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    textColumn->addWidget(title);
    textColumn->addWidget(namedLabel("lblVersion", texts.versionLine));
    textColumn->addWidget(namedLabel("lblDescription", QString()));

    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(textColumn, 1);

    auto *separator = new QFrame;
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *sysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(namedLabel("lblDisclaimer", QString()), 1);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(separator);
    layout->addLayout(bottom);

    // The window manager writes the caption in its title bar beside the icon
    // and three buttons, in a bold face; a dialog narrower than that has its
    // caption cut ("Marun…").
    QFont captionFont = font();
    captionFont.setBold(true);
    setMinimumWidth(QFontMetrics(captionFont).horizontalAdvance(texts.caption) + kTitleBarButtons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Failing to find or start a tool is reported; the dialog stays open.
    connect(sysInfo, &QPushButton::clicked, this, [this] { startSystemInfo(messages_); });
}

}  // namespace marunoki::gui
