// The desktop program: parses --app-dir, loads Qt's own translations for the
// user's language, then shows the main window where the last run left it.

#include "app/common.h"
#include "gui/main_window.h"
#include "settings/window_state.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QTranslator>

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
    const QRect screen = window.screen()->availableGeometry();
    const QSize room = screen.size() - QSize(16, 40);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
        QSize(1600, 1000).boundedTo(room).expandedTo(window.minimumSizeHint()), screen));
    QList<QRect> screens;
    for (const QScreen *each : QApplication::screens())
        screens.append(each->availableGeometry());
    window.restoreState(marunoki::readWindowState(folder), screens);
    window.show();
    return app.exec();
}
