// The desktop program: parses --app-dir, makes Qt's own dialogs speak
// Japanese, settles the application folder (a first start makes the per-user
// one), then shows the main window where the last run left it and,
// when the folder has no track database, says so once.

#include "app/app_folder_rule.h"
#include "app/common.h"
#include "app/japanese_qt_texts.h"
#include "gui/gui_sinks.h"
#include "gui/main_window.h"
#include "maintenance/about_info.h"
#include "maintenance/first_start.h"
#include "settings/settings.h"
#include "settings/window_state.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
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
    // --help and --version only print: they work without a display, as on a
    // build machine that writes the manual page from the help.
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "--help-all" || argument == "-v"
            || argument == "--version")
            qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marunoki"));
    QApplication::setApplicationVersion(QStringLiteral(MARUNOKI_VERSION));

    // The print dialog, the file dialogs and the message boxes' buttons speak
    // Japanese, as the program does, whatever the desktop's language: Qt's own
    // Japanese files where they are installed, and over them our texts for what
    // a user of this program meets (the details button, the print preview).
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);
    marunoki::JapaneseQtTexts ownTexts;
    QApplication::installTranslator(&ownTexts);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    parser.setApplicationDescription(
        QStringLiteral("中央競馬の出馬表と各馬の成績を読み込み、SP指数と上がり指数を"
                       "グラフと表で示す。\n\n"
                       "例:\n"
                       "  marunoki\n"
                       "  marunoki --app-dir ~/marunoki\n"
                       "  marunoki --offline ~/marunoki/保存ページ\n"));
    const QCommandLineOption appDir(QStringLiteral("app-dir"),
        QStringLiteral("アプリケーションフォルダ（marunoki.ini, marunoki.dat, NAR_data.mdb のフォルダ）。"
                       "既定は環境変数 MARUNOKI_APP_DIR、marunoki.ini のあるプログラムのフォルダ、"
                       "~/.local/share/marunoki の順"),
        QStringLiteral("DIR"));
    parser.addOption(appDir);
    const QCommandLineOption offline(QStringLiteral("offline"),
        QStringLiteral("ネットワークの代わりにこのフォルダの保存ページからレースを読む"),
        QStringLiteral("DIR"));
    parser.addOption(offline);
    parser.process(app);

    const marunoki::AppFolderChoice choice
        = marunoki::chooseAppFolder(marunoki::systemAppFolderPlaces(parser.value(appDir)));
    if (choice.source == marunoki::AppFolderSource::None) {
        QMessageBox::critical(nullptr, marunoki::applicationTitle(), marunoki::noAppFolderMessage());
        return 2;
    }
    QString firstStartProblem;
    if (choice.source == marunoki::AppFolderSource::UserFolder) {
        if (const marunoki::Status made = marunoki::prepareUserFolder(choice.folder); !made.ok())
            firstStartProblem = made.message();
    }
    marunoki::gui::MainWindow window(choice.folder, parser.value(offline));
    // The usual size: most of a laptop's screen, a comfortable part of a large one,
    // with room left for the window's frame and title bar.
    const QRect room = window.screen()->availableGeometry().marginsRemoved(marunoki::kUsualWindowFrame);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
        QSize(1600, 1000).boundedTo(room.size()).expandedTo(window.minimumSizeHint()), room));
    QList<QRect> screens;
    for (const QScreen *each : QApplication::screens())
        screens.append(each->availableGeometry());
    window.restoreState(marunoki::readWindowState(choice.folder), screens);
    std::unique_ptr<FirstPaintProbe> probe;
    if (qEnvironmentVariable("MARUNOKI_FIRST_PAINT") == QStringLiteral("quit"))
        probe = std::make_unique<FirstPaintProbe>(&window);
    window.show();
    if (!firstStartProblem.isEmpty()) {
        QMessageBox box(
            QMessageBox::Warning, marunoki::applicationTitle(), firstStartProblem, QMessageBox::Ok, &window);
        marunoki::gui::fitTitle(box);
        box.exec();
    } else {
        window.askForTrackDatabase(marunoki::findSampleFolder(
            QApplication::applicationDirPath(), QString::fromUtf8(MARUNOKI_SAMPLES_DIR)));
    }
    const int code = QApplication::exec();
    // A load still running when the window closed was told to stop and lets go
    // within moments. Should one hang anyway, the program still ends now: the
    // window's state is saved and every file is written whole or not at all.
    if (!window.jobsEndWithin(std::chrono::seconds(1)))
        std::_Exit(code);
    return code;
}
