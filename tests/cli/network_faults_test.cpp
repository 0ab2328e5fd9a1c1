// marunoki-cli load when the network or the site misbehaves: every fault ends in
// a clear message and a clean exit status, never a crash, a hang or a leak (the
// sanitizer build runs these too). The program runs as a child process against
// loopback servers, so real sockets carry every fault.

#include "cli_process.h"
#include "support/fixture_databases.h"
#include "support/http_test_server.h"
#include "support/qt_print.h"
#include "support/sample_race.h"
#include "support/test_folder.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace marunoki::test {
namespace {

const QString kCardUnreadable = QStringLiteral("出馬表が正常に読み込めません");

// A fetch failure's detail: the address, then the cause in parentheses, in the
// user's language (an HTTP status may stay as it is).
void expectDetail(const QString &detail, const QString &address, const QString &cause)
{
    EXPECT_TRUE(detail.startsWith(address + QStringLiteral(" ("))) << detail.toStdString();
    EXPECT_TRUE(detail.contains(cause)) << detail.toStdString();
    const QString said = detail.mid(address.size());
    if (!said.contains(QStringLiteral("HTTP "))) {
        EXPECT_FALSE(said.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}"))))
            << detail.toStdString();
    }
}

// A server that answers every request with the start of a response, then resets
// the connection (RST, not an orderly close): a site dying in mid-page.
class ResettingServer {
public:
    explicit ResettingServer(QByteArray partial)
        : partial_(std::move(partial))
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr *>(&address), length) == 0
            && ::listen(listener_, 8) == 0
            && ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~ResettingServer()
    {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    ResettingServer(const ResettingServer &) = delete;
    ResettingServer &operator=(const ResettingServer &) = delete;

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

private:
    void serve()
    {
        while (!stop_) {
            pollfd ready {listener_, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0)
                continue;
            const int connection = ::accept(listener_, nullptr, nullptr);
            if (connection < 0)
                continue;
            readRequest(connection);
            (void)::write(connection, partial_.constData(), static_cast<size_t>(partial_.size()));
            const linger reset {1, 0};  // close with RST
            ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::close(connection);
        }
    }

    static void readRequest(int connection)
    {
        QByteArray request;
        char buffer[4096];
        while (!request.contains("\r\n\r\n")) {
            pollfd ready {connection, POLLIN, 0};
            if (::poll(&ready, 1, 2000) <= 0)
                return;
            const ssize_t got = ::read(connection, buffer, sizeof buffer);
            if (got <= 0)
                return;
            request.append(buffer, got);
        }
    }

    QByteArray partial_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_ {false};
    std::thread thread_;
};

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(20261207);
    for (char &c : bytes)
        c = static_cast<char>(random.bounded(256));
    return bytes;
}

class NetworkFaults : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureCoreApplication(); }

    NetworkFaults()
        : race(makeSampleRace({6, false, QString()}))
        , base(server.url(QString()))
    {
        for (int site : {1, 2}) {
            const QMap<QString, QString> pages = samplePages(race, site, base);
            for (auto page = pages.begin(); page != pages.end(); ++page)
                server.route(path(page.key()), HttpRoute::html(samplePageBytes(page.value()), "UTF-8"));
        }
        writeSampleTrackDb(app.file(QStringLiteral("marunoki.dat")));
    }

    QString path(const QString &url) const { return url.mid(base.size()); }

    // A load of the sample race from the given site address; every page has a
    // time limit of one second.
    CliRun load(int site, const QString &siteBase) const
    {
        return runCli({QStringLiteral("--app-dir"), app.path(), QStringLiteral("load"),
            QStringLiteral("--site"), QString::number(site), QStringLiteral("--year"), QStringLiteral("2026"),
            QStringLiteral("--course"), QStringLiteral("東京"), QStringLiteral("--meeting"),
            QStringLiteral("5"), QStringLiteral("--day"), QStringLiteral("09"), QStringLiteral("--race"),
            QStringLiteral("11"), QStringLiteral("--base1"), siteBase, QStringLiteral("--base2"), siteBase,
            QStringLiteral("--timeout"), QStringLiteral("1"), QStringLiteral("--json"),
            app.file(QStringLiteral("race.json")), QStringLiteral("--csv")});
    }

    // The site's card page, encoded in Shift_JIS.
    QByteArray cardInShiftJis(int site) const
    {
        QStringEncoder encoder("Shift_JIS");
        return encoder.encode(QString::fromUtf8(
            samplePageBytes(samplePages(race, site, base).value(sampleCardAddress(race, site, base)))));
    }

    HttpTestServer server;
    TestFolder app;
    SampleRace race;
    QString base;
};

// What a fault on the card page does on either site: the load stops with status
// 3 and the card message, after the cause when the page could not be fetched;
// nothing is written.
TEST_F(NetworkFaults, AFaultyCardStopsTheLoadWithItsCause)
{
    const ResettingServer resetting(
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n"
        "<html><body><table><tr><td>");
    struct Fault {
        const char *name;
        std::function<QString(int site)> prepare;  // sets the fault up; returns the site address
        QString cause;  // the cause of a failed fetch (in the card message's detail), or the start
                        // of the splitter's message for a page without a body (a message before
                        // the card message); empty: the card message alone
    };
    const auto onCard = [this](const HttpRoute &route) {
        return [this, route](int site) {
            server.route(path(sampleCardAddress(race, site, base)), route);
            return base;
        };
    };
    const Fault faults[] = {
        {"connection refused", [](int) { return QStringLiteral("http://127.0.0.1:%1").arg(closedPort()); },
            QStringLiteral("接続を拒否されました")},
        {"reset in mid-page", [&resetting](int) { return resetting.url(); },
            QStringLiteral("転送が途中で切れました")},
        {"headers, then nothing", onCard(HttpRoute::headersThenNothing(50000)),
            QStringLiteral("制限時間 1 秒")},
        {"no answer at all", onCard(HttpRoute::neverAnswer()), QStringLiteral("制限時間 1 秒")},
        {"redirect loop", onCard(HttpRoute::redirect("/loop")), QStringLiteral("転送が多すぎます")},
        {"server error", onCard(HttpRoute::withStatus(503)), QStringLiteral("HTTP 503")},
        // Random bytes hold so many '<' that the page nests too deeply to be parsed.
        {"10 MB of random bytes", onCard(HttpRoute::html(randomBytes(10 * 1024 * 1024) + "</html>")),
            QStringLiteral("WebData読込みエラー(err-AA")},
        // Whole by HTTP (its Content-Length matches), cut in its HTML.
        {"cut at 70 %",
            [&](int site) {
                const QByteArray whole = samplePageBytes(
                    samplePages(race, site, base).value(sampleCardAddress(race, site, base)));
                return onCard(HttpRoute::html(whole.left(whole.size() * 7 / 10), "UTF-8"))(site);
            },
            QStringLiteral("ページが途中で切れています")},
        {"Shift_JIS page declared as EUC-JP",
            [&](int site) { return onCard(HttpRoute::html(cardInShiftJis(site), "EUC-JP"))(site); },
            QString()},
        {"Shift_JIS page declared as an unknown charset",
            [&](int site) {
                return onCard(HttpRoute::html(cardInShiftJis(site), "x-no-such-charset"))(site);
            },
            QString()},
    };
    server.route(QStringLiteral("/loop"), HttpRoute::redirect("/loop"));

    for (const Fault &fault : faults) {
        for (int site : {1, 2}) {
            SCOPED_TRACE(std::string(fault.name) + ", site " + std::to_string(site));
            const QString siteBase = fault.prepare(site);
            const CliRun run = load(site, siteBase);
            EXPECT_FALSE(run.crashed) << run.err.toStdString();
            EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
            const QStringList messages = run.messages();
            const QStringList details = run.details();
            EXPECT_TRUE(run.detailsFollowMessages()) << run.err.toStdString();
            if (fault.cause.startsWith(QStringLiteral("WebData"))) {
                ASSERT_EQ(messages.size(), 2) << run.err.toStdString();
                EXPECT_TRUE(messages[0].startsWith(fault.cause)) << messages[0].toStdString();
                EXPECT_EQ(messages[1], kCardUnreadable);
                EXPECT_TRUE(details.isEmpty()) << run.err.toStdString();
            } else {
                // One message per failure; a failed fetch puts its address and cause behind it.
                EXPECT_EQ(messages, QStringList {kCardUnreadable}) << run.err.toStdString();
                if (fault.cause.isEmpty()) {
                    EXPECT_TRUE(details.isEmpty()) << run.err.toStdString();
                } else {
                    ASSERT_EQ(details.size(), 1) << run.err.toStdString();
                    expectDetail(details[0], sampleCardAddress(race, site, siteBase), fault.cause);
                }
            }
            EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("race.json"))));
            EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("2611290.csv"))));
            // The next case starts from the good card.
            server.route(path(sampleCardAddress(race, site, base)),
                HttpRoute::html(
                    samplePageBytes(samplePages(race, site, base).value(sampleCardAddress(race, site, base))),
                    "UTF-8"));
        }
    }
}

// On Site 1 a runner whose page fails is named and the load goes on; the race is
// written with that runner's history left empty, and the status says it is
// incomplete.
TEST_F(NetworkFaults, AFaultyHorsePageOnSite1IsNamedAndTheLoadGoesOn)
{
    const struct {
        const char *name;
        HttpRoute route;
        QString cause;
    } faults[] = {
        {"headers, then nothing", HttpRoute::headersThenNothing(50000), QStringLiteral("制限時間 1 秒")},
        {"redirect loop", HttpRoute::redirect("/loop"), QStringLiteral("転送が多すぎます")},
        {"10 MB of random bytes", HttpRoute::html(randomBytes(10 * 1024 * 1024) + "</html>"),
            QStringLiteral("WebData読込みエラー(err-AB")},
        {"cut 2000 bytes short",
            HttpRoute::html(
                samplePageBytes(samplePages(race, 1, base).value(sampleHorseAddress(race, 1, base, 4)))
                    .chopped(2000),
                "UTF-8"),
            QStringLiteral("ページが途中で切れています")},
    };
    server.route(QStringLiteral("/loop"), HttpRoute::redirect("/loop"));
    const QString horse = sampleHorseAddress(race, 1, base, 4);
    for (const auto &fault : faults) {
        SCOPED_TRACE(fault.name);
        server.route(path(horse), fault.route);
        const CliRun run = load(1, base);
        EXPECT_FALSE(run.crashed) << run.err.toStdString();
        // Analysed, but incomplete.
        EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
        QStringList messages = run.messages();
        const QStringList details = run.details();
        EXPECT_TRUE(run.detailsFollowMessages()) << run.err.toStdString();
        if (fault.cause.startsWith(QStringLiteral("WebData"))) {
            // The splitter's own message comes first; nothing was fetched wrongly.
            ASSERT_FALSE(messages.isEmpty()) << run.err.toStdString();
            EXPECT_TRUE(messages.takeFirst().startsWith(fault.cause));
            EXPECT_TRUE(details.isEmpty()) << run.err.toStdString();
        } else {
            ASSERT_EQ(details.size(), 1) << run.err.toStdString();
            expectDetail(details[0], horse, fault.cause);
        }
        ASSERT_EQ(messages.size(), 2) << run.err.toStdString();
        EXPECT_EQ(messages[0], QStringLiteral("4番の馬情報が正常に読み込めません"));
        EXPECT_TRUE(messages[1].endsWith(QStringLiteral("2611290.csv へ出力しました")))
            << messages[1].toStdString();
        EXPECT_TRUE(QFile::exists(app.file(QStringLiteral("race.json"))));
        QFile::remove(app.file(QStringLiteral("race.json")));
    }
}

}  // namespace
}  // namespace marunoki::test
