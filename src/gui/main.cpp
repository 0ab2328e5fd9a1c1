// The desktop program: parses --app-dir, then shows the main window.

#include "app/common.h"
#include "gui/main_window.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marunoki"));
    QApplication::setApplicationVersion(QStringLiteral(MARUNOKI_VERSION));

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
    window.resize(1100, 700);
    window.show();
    return app.exec();
}
