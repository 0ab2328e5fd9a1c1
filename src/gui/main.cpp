// The desktop program: parses --app-dir, loads Qt's own translations for the
// user's language, then shows the main window where the last run left it.

#include "app/common.h"
#include "gui/main_window.h"
#include "settings/window_state.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTranslator>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// A measuring run (bench_window, MARUNOKI_FIRST_PAINT=quit): once the window's
// first paint has gone to the screen, "first paint" goes to the standard output
// and the window is closed as 終了 closes it, so that the whole process's start
// and end are measured as a user meets them.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(QWidget *window)
        : window_(window)
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // The paint pass ends and is flushed before the next turn of the loop.
            QTimer::singleShot(0, window_, [window = window_] {
                std::fputs("first paint\n", stdout);
                std::fflush(stdout);
                window->close();
            });
        }
        return false;
    }

private:
    QWidget *window_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marunoki"));
    QApplication::setApplicationVersion(QStringLiteral(MARUNOKI_VERSION));

    // The print dialog, the file dialogs and the message boxes' buttons speak
    // the user's language (Japanese on a Japanese desktop). Without the files
    // Qt stays in English; nothing else depends on them.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(), QStringLiteral("qt"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption appDir(QStringLiteral("app-dir"),
        QStringLiteral("Folder of marunoki.dat, NAR_data.mdb and marunoki.ini."), QStringLiteral("DIR"));
    parser.addOption(appDir);
    const QCommandLineOption offline(QStringLiteral("offline"),
        QStringLiteral("Read races from a page archive instead of the network."), QStringLiteral("DIR"));
    parser.addOption(offline);
    parser.process(app);

    const marunoki::AppFolder folder = parser.isSet(appDir) ? marunoki::AppFolder(parser.value(appDir))
                                                            : marunoki::AppFolder::ofExecutable();
    marunoki::gui::MainWindow window(folder, parser.value(offline));
    // The usual size: most of a laptop's screen, a comfortable part of a large one,
    // with room left for the window's frame and title bar.
    const QRect room = window.screen()->availableGeometry().marginsRemoved(marunoki::kUsualWindowFrame);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
        QSize(1600, 1000).boundedTo(room.size()).expandedTo(window.minimumSizeHint()), room));
    QList<QRect> screens;
    for (const QScreen *each : QApplication::screens())
        screens.append(each->availableGeometry());
    window.restoreState(marunoki::readWindowState(folder), screens);
    std::unique_ptr<FirstPaintProbe> probe;
    if (qEnvironmentVariable("MARUNOKI_FIRST_PAINT") == QStringLiteral("quit"))
        probe = std::make_unique<FirstPaintProbe>(&window);
    window.show();
    const int code = QApplication::exec();
    // A load still running when the window closed was told to stop and lets go
    // within moments. Should one hang anyway, the program still ends now: the
    // window's state is saved and every file is written whole or not at all.
    if (!window.jobsEndWithin(std::chrono::seconds(1)))
        std::_Exit(code);
    return code;
}
