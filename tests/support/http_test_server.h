#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests and benchmarks that load pages
// over a real socket.
//
//   HttpTestServer server;                          // listens on a free port
//   server.route("/denma.html", HttpRoute::html(bytes, "Shift_JIS"));
//   server.route("/slow", HttpRoute::html(bytes).delayed(150));
//   server.route("/moved", HttpRoute::redirect("/denma.html"));
//   server.route("/hang", HttpRoute::neverAnswer());
//   server.route("/cut", HttpRoute::raw("HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n<html>"));
//   loader.load(server.url("/denma.html"), ...);
//
// The server runs in its own thread and answers requests in parallel (a delay
// holds up only its own request). Unknown paths get 404. Routes can be changed
// while the server runs; every method is thread-safe. Each response closes its
// connection. Needs a QCoreApplication: the constructor creates one if there is
// none, so construct the first server on the main thread.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

namespace marunoki::test {

struct HttpRoute {
    enum class Mode {
        Answer,  // status line, headers, body
        NeverAnswer,  // read the request, then say nothing
        HeadersThenNothing,  // status line and headers (with the body's length), no body
        Raw  // the body field as the whole response, byte for byte, then close
    };

    Mode mode = Mode::Answer;
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int delayMs = 0;  // before anything is written

    // 200 with Content-Type text/html, and "; charset=..." when charset is given.
    static HttpRoute html(const QByteArray &body, const QByteArray &charset = {});
    static HttpRoute withStatus(int code, const QByteArray &body = {});
    // 302 to location (a path on this server or a full address).
    static HttpRoute redirect(const QByteArray &location, int code = 302);
    static HttpRoute neverAnswer();
    static HttpRoute headersThenNothing(qint64 announcedLength = 1000);
    // Writes response (status line, headers and body as they are) and closes the
    // connection: for transfers that end badly (a chunked body cut or damaged, a
    // body shorter than its Content-Length).
    static HttpRoute raw(const QByteArray &response);

    HttpRoute delayed(int ms) const;
    HttpRoute withHeader(const QByteArray &name, const QByteArray &value) const;
};

class HttpTestServer {
public:
    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer &) = delete;
    HttpTestServer &operator=(const HttpTestServer &) = delete;

    // path is the request target with its query ("/db/horse.php?hid=123").
    void route(const QString &path, const HttpRoute &route);
    // The n-th request for path gets routes[n - 1]; the last one answers every
    // request after it (a site busy twice, then serving the page).
    void routeInTurn(const QString &path, const QList<HttpRoute> &routes);

    quint16 port() const;
    // "http://127.0.0.1:<port>" + path.
    QString url(const QString &path) const;

    // Requests received for a path (all paths when empty).
    int requestCount(const QString &path = {}) const;
    // The most requests that were open (received, not yet answered) at once.
    int maxConcurrentRequests() const;
    // The server's log: when each request was received, in milliseconds since
    // the epoch (the system clock, as a server's log has it), in order.
    QList<qint64> requestTimes() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

// A local port that nothing listens on (for "connection refused").
quint16 closedPort();

// Creates the process's QCoreApplication if there is none yet; event loops in
// threads (the network source's, this server's) need one. Call it from the main
// thread before starting either, e.g. in a fixture's SetUp.
void ensureCoreApplication();

}  // namespace marunoki::test
