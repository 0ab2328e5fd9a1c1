#include "maintenance/first_start.h"

#include <QDir>
#include <QFileInfo>

namespace marunoki {

namespace {

const QString kTrackDatabase = QStringLiteral("marunoki.dat");

}  // namespace

QString findSampleFolder(const QString &programFolder, const QString &builtIn)
{
    const QStringList candidates {programFolder + QStringLiteral("/samples"),
        programFolder + QStringLiteral("/../samples"),
        programFolder + QStringLiteral("/../share/marunoki/samples"), builtIn};
    for (const QString &dir : candidates) {
        if (!dir.isEmpty() && QFileInfo(dir + QStringLiteral("/site1/index.tsv")).isFile())
            return QDir(dir).absolutePath();
    }
    return {};
}

bool trackDatabaseMissing(const AppFolder &folder)
{
    return !QFileInfo::exists(folder.file(kTrackDatabase));
}

QString missingTrackDatabaseText(const AppFolder &folder, const QString &sampleFolder)
{
    QString text
        = QStringLiteral("馬場情報ファイル %1 がありません。アプリケーションフォルダ %2 に置いてください")
              .arg(kTrackDatabase, folder.path());
    if (!sampleFolder.isEmpty())
        text += QStringLiteral("（同梱の見本: %1）").arg(QDir(sampleFolder).filePath(kTrackDatabase));
    return text;
}

QString missingTrackDatabaseQuestion(const AppFolder &folder, bool sampleFound)
{
    QString text
        = QStringLiteral("馬場情報ファイル %1 が %2 にありません。\n"
                         "指数を計算するには、保存してある馬場更新ファイルを「馬場情報ファイル更新」で"
                         "取り込んでください。")
              .arg(kTrackDatabase, folder.path());
    if (sampleFound)
        text += QStringLiteral("\nまず試すだけなら、同梱の見本の馬場情報ファイルを使えます。");
    return text;
}

TrackUpdateResult useSampleTrackDatabase(
    const AppFolder &folder, const QString &sampleFolder, MessageSink &sink)
{
    return updateTrackFile(folder, QDir(sampleFolder).filePath(kTrackDatabase), sink);
}

}  // namespace marunoki
