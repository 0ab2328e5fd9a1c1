#include "output/race_json.h"

#include "app/format.h"
#include "app/race_store.h"

#include <QString>

#include <cmath>

namespace marunoki {

namespace {

// Writes JSON text piece by piece. Commas are the caller's: every value after the
// first in an array or object is preceded by sep().
class JsonWriter {
public:
    QString text;

    void raw(QStringView s) { text += s; }

    void string(const QString &s)
    {
        text += u'"';
        for (QChar c : s) {
            const char16_t u = c.unicode();
            switch (u) {
            case u'"':
                text += QStringLiteral("\\\"");
                break;
            case u'\\':
                text += QStringLiteral("\\\\");
                break;
            case u'\b':
                text += QStringLiteral("\\b");
                break;
            case u'\f':
                text += QStringLiteral("\\f");
                break;
            case u'\n':
                text += QStringLiteral("\\n");
                break;
            case u'\r':
                text += QStringLiteral("\\r");
                break;
            case u'\t':
                text += QStringLiteral("\\t");
                break;
            default:
                // Other control characters, and the two line separators that break
                // JavaScript string literals, as \u escapes.
                if (u < 0x20 || u == 0x2028 || u == 0x2029)
                    text += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
                else
                    text += c;
            }
        }
        text += u'"';
    }

    void number(float v)
    {
        if (std::isfinite(v))
            text += plainNumber(v);
        else
            text += QStringLiteral("null");
    }

    void integer(qint64 v) { text += QString::number(v); }

    void date(double serial)
    {
        if (serial == 0 || !std::isfinite(serial)) {
            text += QStringLiteral("null");
            return;
        }
        const Ymd d = ymdFromSerial(serial);
        text += QStringLiteral("\"%1-%2-%3\"")
                    .arg(d.year, 4, 10, QLatin1Char('0'))
                    .arg(d.month, 2, 10, QLatin1Char('0'))
                    .arg(d.day, 2, 10, QLatin1Char('0'));
    }

    // "name": — preceded by a comma unless first.
    void key(const char *name, bool first = false)
    {
        if (!first)
            text += u',';
        text += u'"';
        text += QLatin1String(name);
        text += QStringLiteral("\":");
    }

    void pair(float a, float b)
    {
        text += u'[';
        number(a);
        text += u',';
        number(b);
        text += u']';
    }
};

void writeRun(JsonWriter &w, const RaceStore &s, int n, int r)
{
    w.raw(u"{");
    w.key("run", true);
    w.integer(r);
    w.key("R_date");
    w.date(s.horses[n].runs[r].date);
    w.key("R_zyo");
    w.string(s.horses[n].runs[r].course);
    w.key("R_no");
    w.integer(s.horses[n].runs[r].raceNumber);
    w.key("R_name");
    w.string(s.horses[n].runs[r].raceName);
    w.key("R_class");
    w.string(s.horses[n].runs[r].raceClass);
    w.key("R_kyori");
    w.integer(s.horses[n].runs[r].distance);
    w.key("R_baba");
    w.integer(s.horses[n].runs[r].going);
    w.key("R_zyo02");
    w.string(s.horses[n].runs[r].secondCourse);
    w.key("R_siba");
    w.integer(s.horses[n].runs[r].surface);
    w.key("R_tousuu");
    w.integer(s.horses[n].runs[r].fieldSize);
    w.key("U_waku");
    w.integer(s.horses[n].runs[r].bracket);
    w.key("U_no");
    w.integer(s.horses[n].runs[r].horseNumber);
    w.key("U_ninki");
    w.integer(s.horses[n].runs[r].popularity);
    w.key("U_cyaku");
    w.integer(s.horses[n].runs[r].finish);
    w.key("U_time");
    w.number(s.horses[n].runs[r].time);
    w.key("U_cyakusa");
    w.number(s.horses[n].runs[r].margin);
    w.key("U_3f");
    w.number(s.horses[n].runs[r].last3f);
    w.key("U_taizyu");
    w.integer(s.horses[n].runs[r].bodyWeight);
    w.key("U_hutan");
    w.number(s.horses[n].runs[r].weightCarried);
    w.key("U_kisyu");
    w.string(s.horses[n].runs[r].jockey);
    w.key("U_cyoukyou");
    w.string(s.horses[n].runs[r].trainer);
    w.key("U_tuka");
    w.raw(u"[");
    for (int c = 1; c <= 4; ++c) {
        if (c > 1)
            w.raw(u",");
        w.integer(s.horses[n].runs[r].cornerPositions[c]);
    }
    w.raw(u"]");
    w.key("U_sisuu");
    w.number(s.horses[n].runs[r].speedFigure);
    w.key("U_agari");
    w.number(s.horses[n].runs[r].last3fFigure);
    w.key("U_babasisuu");
    w.number(s.horses[n].runs[r].trackVariant);
    w.raw(u"}");
}

// The local-racing database's state: {"state":"absent"|"read"|"unreadable"},
// with "missing" (the cause) when unreadable.
void writeLocalDatabase(JsonWriter &w, const LoadGaps &gaps)
{
    w.key("localDatabase");
    w.raw(u"{");
    w.key("state", true);
    switch (gaps.local) {
    case LocalDatabaseState::Absent:
        w.string(QStringLiteral("absent"));
        break;
    case LocalDatabaseState::Read:
        w.string(QStringLiteral("read"));
        break;
    case LocalDatabaseState::Unreadable:
        w.string(QStringLiteral("unreadable"));
        w.key("missing");
        w.string(gaps.localCause);
        break;
    }
    w.raw(u"}");
}

void writeRunner(JsonWriter &w, const RaceStore &s, int n)
{
    w.raw(u"{");
    w.key("n", true);
    w.integer(n);
    // Always written, so that a reader tells a whole runner from a file of a
    // version that did not say.
    const QString &missing = s.gaps.missing[size_t(n)];
    w.key("complete");
    w.raw(missing.isEmpty() ? u"true" : u"false");
    if (!missing.isEmpty()) {
        w.key("missing");
        w.string(missing);
    }
    w.key("U_name");
    w.string(s.horses[n].name);
    w.key("U_seirei");
    w.string(s.horses[n].sexAge);
    w.key("U_keiro");
    w.string(s.horses[n].coatColour);
    w.key("U_titi");
    w.string(s.horses[n].sire);
    w.key("U_haha");
    w.string(s.horses[n].dam);
    w.key("U_hahatiti");
    w.string(s.horses[n].damSire);
    w.key("U_Url");
    w.string(s.horses[n].pageAddress);
    w.key("U_heikin");
    w.pair(s.horses[n].meanFigure.value, s.horses[n].meanFigure.runs);
    w.key("U_saikou");
    w.pair(s.horses[n].bestFigure.value, s.horses[n].bestFigure.runs);
    w.key("U_heikin3m");
    w.pair(s.horses[n].recentMeanFigure.value, s.horses[n].recentMeanFigure.runs);
    w.key("U_saikou3m");
    w.pair(s.horses[n].recentBestFigure.value, s.horses[n].recentBestFigure.runs);
    w.key("U_kyakusitu");
    w.pair(s.horses[n].runningStyle.value, s.horses[n].runningStyle.runs);
    w.key("U_taisen");
    w.raw(u"[");
    for (int o = 0; o < kRunnerSlots; ++o) {
        if (o > 0)
            w.raw(u",");
        w.pair(s.horses[n].headToHead[o].ahead, s.horses[n].headToHead[o].behind);
    }
    w.raw(u"]");
    w.key("runs");
    w.raw(u"[");
    for (int r = 0; r < kRunSlots; ++r) {
        if (r > 0 && !(s.horses[n].runs[r].date > 0))
            continue;
        if (r > 0)
            w.raw(u",");
        writeRun(w, s, n, r);
    }
    w.raw(u"]}");
}

}  // namespace

QByteArray raceStoreJson(const RaceStore &store)
{
    JsonWriter w;
    w.raw(u"{");
    w.key("raceDate", true);
    w.date(store.raceDate);
    w.key("raceTitle");
    w.string(store.raceTitle);
    w.key("raceJouken");
    w.string(store.raceConditions);
    w.key("tousuu");
    w.integer(store.fieldSize);
    w.key("complete");
    w.raw(store.gaps.complete() ? u"true" : u"false");
    w.key("leftOut");
    w.raw(u"[");
    for (qsizetype i = 0; i < store.gaps.leftOut.size(); ++i) {
        if (i > 0)
            w.raw(u",");
        w.string(store.gaps.leftOut[i]);
    }
    w.raw(u"]");
    writeLocalDatabase(w, store.gaps);
    w.key("zyouiHeikin");
    w.raw(u"[");
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            w.raw(u",");
        w.number(store.topMeans[i]);
    }
    w.raw(u"]");
    w.key("rentaiKizyun");
    w.number(store.referenceFigure);
    w.key("graphBase");
    w.integer(store.graphBase);
    w.key("runners");
    w.raw(u"[");
    for (const qint32 n : store.runners()) {
        if (n > 1)
            w.raw(u",\n");
        else
            w.raw(u"\n");
        writeRunner(w, store, n);
    }
    w.raw(u"]}\n");
    return w.text.toUtf8();
}

}  // namespace marunoki
