#include "output/csv_export.h"

#include "app/common.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include <QStringEncoder>

#include <algorithm>

namespace marunoki {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// A rounded figure in plain decimal; a negative figure that rounds to 0 is "0".
QString wholeFigure(float figure)
{
    const double rounded = roundHalfEven(static_cast<double>(figure));
    return QString::number(static_cast<qint64>(rounded));
}

}  // namespace

QByteArray toCodePage(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    if (!encoder.isValid())
        encoder = QStringEncoder("Shift_JIS");
    return encoder.encode(text);
}

QString csvText(const RaceStore &store)
{
    QString text = QStringLiteral("枠番,馬番,馬名") + kLineEnd;
    for (const qint32 n : store.runners()) {
        if (store.U_name[n].isEmpty())
            continue;
        text += QString::number(store.U_waku[n][0]) + u',' + QString::number(n) + u',' + store.U_name[n];
        for (int r = 1; r <= kMaxRuns; ++r) {
            if (store.U_sisuu[n][r] != 0.0f)
                text += u',' + wholeFigure(store.U_sisuu[n][r]);
        }
        text += kLineEnd;
    }
    return text + kLineEnd;
}

bool writeCsv(
    const RaceStore &store, const AppFolder &folder, MessageSink &messages, const FileSystem &files, int race)
{
    QString stem = folder.file(formatDate(store.raceDate, QStringLiteral("yymmdd")) + u'0');
    if (race > 0)
        stem += QStringLiteral("_%1R").arg(race, 2, 10, QLatin1Char('0'));
    const QString path = stem + QStringLiteral(".csv");

    const Status written = writeFileAtomically(path, toCodePage(csvText(store)), files);
    if (!written.ok()) {
        messages.message(written.message());
        return false;
    }
    messages.message(stem + QStringLiteral(".csv へ出力しました"));
    return true;
}

}  // namespace marunoki
