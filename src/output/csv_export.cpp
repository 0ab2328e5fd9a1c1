#include "output/csv_export.h"

#include "app/output_target.h"

#include "app/common.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
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

const char *codePageName()
{
    static const char *name = QStringEncoder("windows-31j").isValid() ? "windows-31j" : "Shift_JIS";
    return name;
}

}  // namespace

QByteArray toCodePage(const QString &text)
{
    QStringEncoder encoder(codePageName());
    return encoder.encode(text);
}

namespace {

// The runners of an export file as "number,name", in file order; the header
// and the figures are left out.
QStringList runnersInCsv(const QByteArray &bytes)
{
    QStringDecoder decoder(codePageName());
    const QString text = decoder.decode(bytes);
    QStringList lines = text.split(u'\n');
    QStringList runners;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].trimmed().split(u',');
        if (fields.size() >= 3)
            runners.append(fields[1] + u',' + fields[2]);
    }
    return runners;
}

QStringList runnersInStore(const RaceStore &store)
{
    QStringList runners;
    for (const qint32 n : store.runners()) {
        if (!store.horses[n].name.isEmpty())
            runners.append(QString::number(n) + u',' + store.horses[n].name);
    }
    return runners;
}

}  // namespace

QString csvText(const RaceStore &store)
{
    QString text = QStringLiteral("枠番,馬番,馬名") + kLineEnd;
    for (const qint32 n : store.runners()) {
        if (store.horses[n].name.isEmpty())
            continue;
        text += QString::number(store.horses[n].runs[0].bracket) + u',' + QString::number(n) + u','
            + store.horses[n].name;
        for (int r = 1; r <= kMaxRuns; ++r) {
            if (store.horses[n].runs[r].speedFigure != 0.0f)
                text += u',' + wholeFigure(store.horses[n].runs[r].speedFigure);
        }
        text += kLineEnd;
    }
    return text + kLineEnd;
}

QString csvPath(const RaceStore &store, const AppFolder &folder, int race)
{
    QString stem = folder.file(formatDate(store.raceDate, QStringLiteral("yymmdd")) + u'0');
    if (race > 0)
        stem += QStringLiteral("_%1R").arg(race, 2, 10, QLatin1Char('0'));
    return stem + QStringLiteral(".csv");
}

bool writeCsv(
    const RaceStore &store, const AppFolder &folder, MessageSink &messages, const FileSystem &files, int race)
{
    const QString path = csvPath(store, folder, race);
    // A CSV hard-linked to one of the folder's own files is not ours to replace.
    Status written = checkOutputTarget(folder, path);
    if (written.ok())
        written = writeFileAtomically(path, toCodePage(csvText(store)), files);
    if (!written.ok()) {
        messages.message(written.message());
        return false;
    }
    messages.message(path + QStringLiteral(" へ出力しました"));
    return true;
}

CsvExportSession::Plan CsvExportSession::plan(
    const RaceStore &store, const AppFolder &folder, const QString &race) const
{
    Plan plan;
    plan.path = csvPath(store, folder);
    plan.answer = Answer::Replace;
    QFile file(plan.path);
    if (!file.exists())
        return plan;
    const QString before = written_.value(plan.path);
    QStringList theirs;
    if (file.open(QIODevice::ReadOnly))
        theirs = runnersInCsv(file.read(1024 * 1024));
    if (before == race || (!theirs.isEmpty() && theirs == runnersInStore(store)))
        return plan;
    if (answer_) {
        plan.answer = answer_;
        return plan;
    }
    QString other = before;
    if (other.isEmpty()) {
        other = theirs.isEmpty() ? QStringLiteral("別の内容")
                                 : QStringLiteral("別のレース（%1 ほか%2頭）")
                                       .arg(theirs.first().section(u',', 1))
                                       .arg(theirs.size() - 1);
    }
    plan.answer.reset();
    plan.question = QStringLiteral("%1 には %2 の指数が入っています。\n%3 の指数で置き換えますか？")
                        .arg(QFileInfo(plan.path).fileName(), other, race);
    return plan;
}

void CsvExportSession::answered(Answer answer)
{
    if (answer != Answer::Cancel)
        answer_ = answer;
}

void CsvExportSession::written(const QString &path, const QString &race)
{
    written_.insert(path, race);
}

}  // namespace marunoki
