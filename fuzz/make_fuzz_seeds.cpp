// Writes the seed inputs of every fuzz target, one folder per target:
//
//   make_fuzz_seeds OUT TOP TESTDATA
//
// OUT/<target>/ receives small valid inputs of the target's kind: settings files
// in each encoding and line-ending style, the pages of both sites from the test
// page builders, and database files (a small track database written here, the
// sample databases under TOP/samples, the Access files under TESTDATA/access when
// that folder exists). The Access files are copied at run time, never kept in the
// repository. The track-data update's inputs are the same database files behind
// the byte that chooses their form (even: as they are, odd: with a Jet header).

#include "support/site_pages.h"
#include "support/sqlite_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <cstdio>

namespace {

using namespace marunoki::test;

class Seeds {
public:
    explicit Seeds(QString out)
        : out_(std::move(out))
    { }

    QString folder(const QString &target) const
    {
        const QString path = out_ + u'/' + target;
        QDir().mkpath(path);
        return path;
    }

    void write(const QString &target, const QString &name, const QByteArray &bytes)
    {
        QFile file(folder(target) + u'/' + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            fail(file.fileName());
    }

    QByteArray read(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            fail(path);
        return file.readAll();
    }

    void copy(const QString &target, const QString &source)
    {
        const QString to = folder(target) + u'/' + QFileInfo(source).fileName();
        QFile::remove(to);
        if (!QFile::copy(source, to))
            fail(source);
    }

    void fail(const QString &what)
    {
        std::fprintf(stderr, "make_fuzz_seeds: cannot write %s\n", qPrintable(what));
        ok_ = false;
    }

    bool ok() const { return ok_; }

private:
    QString out_;
    bool ok_ = true;
};

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    if (!encoder.isValid())
        encoder = QStringEncoder("Shift_JIS");
    return encoder.encode(text);
}

void settingsSeeds(Seeds &seeds)
{
    const QString usual = QStringLiteral(
        "[graph]\r\niniGraph(0)=true\r\niniGraph(1)=false\r\niniGraph(2)=true\r\niniGraph(3)=true\r\n"
        "iniGraph(4)=false\r\niniGraph(5)=true\r\niniGraph(6)=true\r\nwriteHyo=1\r\nkakeritu=0.3\r\n"
        "[site]\r\nsite=サイト1\r\n[web]\r\nsite1=http://127.0.0.1:8080\r\nsite2=http://127.0.0.1:8081\r\n"
        "[file]\r\nbabadir=C:\\競馬\\\r\n");
    seeds.write("fuzz_settings", "usual-cp932.ini", cp932(usual));
    seeds.write("fuzz_settings", "usual-utf8-bom.ini", "\xEF\xBB\xBF" + usual.toUtf8());
    QString lf = usual;
    seeds.write("fuzz_settings", "usual-utf8-lf.ini",
        lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8());
    seeds.write("fuzz_settings", "odd.ini",
        cp932(QStringLiteral("; comment\r\n  [ GRAPH ]  \r\n KAKERITU = \"0.35\" \r\nwriteHyo='2'\r"
                             "[site\rsite\r[web]\r\nsite1=  ")));
    seeds.write("fuzz_settings", "empty.ini", QByteArray());
}

void pageSeeds(Seeds &seeds)
{
    const HorsePage horse = [] {
        HorsePage page;
        PastRun run;
        page.runs = {run, run};
        page.runs[1].year = 2006;
        page.runs[1].surface = QStringLiteral("ダ");
        return page;
    }();
    const struct {
        const char *name;
        QString html;
    } pages[] = {
        {"site1-card.html", site1CardPage(sampleCard(3, true))},
        {"site1-horse.html", site1HorsePage(horse)},
        {"site2-card.html", site2CardPage(sampleCard(3, false))},
        {"site2-horse.html", site2HorsePage(horse)},
        {"site1-top.html", site1TopPage(sampleTopPage())},
    };
    for (const auto &page : pages) {
        const QByteArray document
            = "<html><head><meta charset=\"utf-8\"></head><body>" + page.html.toUtf8() + "</body></html>";
        for (const char *target : {"fuzz_page", "fuzz_readers"})
            seeds.write(target, page.name, document);
    }

    // One element with more attributes than are kept, some quoted with '>' in
    // them, for the attribute pass that runs before the parser.
    QByteArray crowded = "<html><body><table><tr><td";
    for (int k = 0; k < 300; ++k)
        crowded += k % 3 ? " a" + QByteArray::number(k) : " t='x>" + QByteArray::number(k) + "'";
    crowded += ">x</td></tr></table></body></html>";
    seeds.write("fuzz_page", "many-attributes.html", crowded);
}

void databaseSeeds(Seeds &seeds, const QString &top, const QString &testdata)
{
    const QString small = seeds.folder("fuzz_database") + QStringLiteral("/small-track.sqlite");
    QFile::remove(small);
    {
        SqliteFile file(small);
        createTrackTables(file);
        file.exec(QStringLiteral("INSERT INTO version VALUES ('2026/12/01')"));
        file.exec(QStringLiteral("INSERT INTO T_sisuu VALUES ('2026/12/20', '05', 1, -12.5)"));
        file.exec(QStringLiteral("INSERT INTO T_avetime VALUES ('ave', 1600, '05', 1, 95.1, 1)"));
    }
    for (const QString &name : {QStringLiteral("marunoki.dat"), QStringLiteral("NAR_data.mdb")})
        seeds.copy("fuzz_database", top + QStringLiteral("/samples/") + name);
    const QDir access(testdata + QStringLiteral("/access"));
    for (const QString &name : access.entryList({QStringLiteral("*.mdb")}, QDir::Files))
        seeds.copy("fuzz_database", access.filePath(name));
}

// The files a user might pick as a newer track database: track databases with
// and without an issue date, a database of something else, the sample track
// database, and the Access files (which take the Jet path).
void trackUpdateSeeds(Seeds &seeds, const QString &top, const QString &testdata)
{
    const QString target = QStringLiteral("fuzz_track_update");
    const QString scratch = seeds.folder(target) + QStringLiteral("/scratch.sqlite");
    const struct {
        const char *name;
        QStringList statements;
    } databases[] = {
        {"dated.seed",
            {QStringLiteral("INSERT INTO version VALUES ('2026-12-01')"),
                QStringLiteral("INSERT INTO T_sisuu VALUES ('2026-12-20', '05', 1, -12.5)")}},
        {"undated.seed", {}},
        {"unreadable-date.seed", {QStringLiteral("INSERT INTO version VALUES ('2026/12/01')")}},
        {"no-tables.seed", {QStringLiteral("DROP TABLE version")}},
    };
    for (const auto &database : databases) {
        QFile::remove(scratch);
        {
            SqliteFile file(scratch);
            createTrackTables(file);
            for (const QString &sql : database.statements)
                file.exec(sql);
        }
        seeds.write(target, database.name, QByteArray(1, '\0') + seeds.read(scratch));
    }
    QFile::remove(scratch);
    seeds.write(target, "sample-track.seed",
        QByteArray(1, '\0') + seeds.read(top + QStringLiteral("/samples/marunoki.dat")));
    const QDir access(testdata + QStringLiteral("/access"));
    for (const QString &name : access.entryList({QStringLiteral("*.mdb")}, QDir::Files))
        seeds.write(
            target, name + QStringLiteral(".seed"), QByteArray(1, '\1') + seeds.read(access.filePath(name)));
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUT TOP TESTDATA\n");
        return 2;
    }
    Seeds seeds(QString::fromLocal8Bit(argv[1]));
    settingsSeeds(seeds);
    pageSeeds(seeds);
    databaseSeeds(seeds, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    trackUpdateSeeds(seeds, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    return seeds.ok() ? 0 : 1;
}
