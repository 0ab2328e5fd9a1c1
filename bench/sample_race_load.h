#pragma once
// The bundled sample race, loaded from its page archive with the sample
// databases, for the benchmarks that need a whole analysed race.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/load_driver.h"
#include "settings/settings.h"
#include "web/page_archive.h"
#include "web/page_loader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace marunoki {

// The source folder is known to the build when the test support is built;
// otherwise it is found from this file's own path.
#ifdef MARUNOKI_SOURCE_DIR
inline const QString kSamples = QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/");
#else
inline const QString kSamples
    = QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + QStringLiteral("/../samples/");
#endif

class SilentProgress : public ProgressSink {
public:
    void status(const QString &) override { }
};

// The application folder with the sample databases, made once.
inline const QTemporaryDir &appFolder()
{
    static QTemporaryDir dir;
    static const bool copied = [] {
        for (const char *name : {"marunoki.dat", "NAR_data.mdb"}) {
            if (!QFile::copy(kSamples + QLatin1String(name), dir.filePath(QLatin1String(name))))
                return false;
        }
        return true;
    }();
    if (!copied) {
        std::fprintf(stderr, "cannot copy the sample databases from %s\n", qPrintable(kSamples));
        std::exit(1);
    }
    return dir;
}

// Loads the sample race into store; false when it did not reach the analysis
// or showed a message.
inline bool loadSample(RaceStore &store, PageSource &source)
{
    SilentProgress progress;
    RecordingSink messages;
    Settings settings;
    settings.kakeritu = 0.3f;
    settings.site1Base = QStringLiteral("https://site1.example");
    LoadContext context {store, settings, AppFolder(appFolder().path()), source, progress, messages};
    const RaceSelection selection {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"),
        QStringLiteral("09"), QStringLiteral("11"), ReadingSite::One};
    return runLoad(selection, context).analysed && messages.messages().isEmpty();
}

// The sample race loaded into store from its own archive, for benchmarks that
// measure what follows a load; false as loadSample.
inline bool loadSampleRace(RaceStore &store)
{
    const PageArchive archive(kSamples + QStringLiteral("site1"));
    OfflinePageSource source(archive);
    return loadSample(store, source);
}

}  // namespace marunoki
