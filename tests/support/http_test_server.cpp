#include "support/http_test_server.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <mutex>

namespace marunoki::test {

HttpRoute HttpRoute::html(const QByteArray &body, const QByteArray &charset)
{
    HttpRoute r;
    r.body = body;
    r.headers.append(
        {"Content-Type", charset.isEmpty() ? QByteArray("text/html") : "text/html; charset=" + charset});
    return r;
}

HttpRoute HttpRoute::withStatus(int code, const QByteArray &body)
{
    HttpRoute r = html(body);
    r.status = code;
    return r;
}

HttpRoute HttpRoute::redirect(const QByteArray &location, int code)
{
    HttpRoute r;
    r.status = code;
    r.headers.append({"Location", location});
    return r;
}

HttpRoute HttpRoute::neverAnswer()
{
    HttpRoute r;
    r.mode = Mode::NeverAnswer;
    return r;
}

HttpRoute HttpRoute::headersThenNothing(qint64 announcedLength)
{
    HttpRoute r = html({});
    r.mode = Mode::HeadersThenNothing;
    r.headers.append({"Content-Length", QByteArray::number(announcedLength)});
    return r;
}

HttpRoute HttpRoute::raw(const QByteArray &response)
{
    HttpRoute r;
    r.mode = Mode::Raw;
    r.body = response;
    return r;
}

HttpRoute HttpRoute::delayed(int ms) const
{
    HttpRoute r = *this;
    r.delayMs = ms;
    return r;
}

HttpRoute HttpRoute::withHeader(const QByteArray &name, const QByteArray &value) const
{
    HttpRoute r = *this;
    r.headers.append({name, value});
    return r;
}

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray responseHead(const HttpRoute &route, bool withLength)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reason(route.status) + "\r\n";
    for (const auto &[name, value] : route.headers)
        head += name + ": " + value + "\r\n";
    if (withLength)
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    return head;
}

}  // namespace

class HttpTestServer::Impl {
public:
    Impl()
    {
        thread_.setObjectName(QStringLiteral("http-test-server"));
        thread_.start();
        server_ = new QTcpServer;
        server_->moveToThread(&thread_);
        QMetaObject::invokeMethod(
            server_,
            [this] {
                server_->listen(QHostAddress::LocalHost, 0);
                QObject::connect(server_, &QTcpServer::newConnection, server_, [this] { accept(); });
            },
            Qt::BlockingQueuedConnection);
        port_ = server_->serverPort();
    }

    ~Impl()
    {
        QMetaObject::invokeMethod(
            server_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    void route(const QString &path, const HttpRoute &r)
    {
        std::lock_guard lock(mutex_);
        routes_.insert(QUrl::fromPercentEncoding(path.toUtf8()), r);
    }

    void routeInTurn(const QString &path, const QList<HttpRoute> &routes)
    {
        std::lock_guard lock(mutex_);
        inTurn_.insert(QUrl::fromPercentEncoding(path.toUtf8()), routes);
    }

    QList<qint64> requestTimes() const
    {
        std::lock_guard lock(mutex_);
        return times_;
    }

    quint16 port() const { return port_; }

    int requestCount(const QString &path) const
    {
        std::lock_guard lock(mutex_);
        if (path.isEmpty()) {
            int all = 0;
            for (int n : counts_)
                all += n;
            return all;
        }
        return counts_.value(QUrl::fromPercentEncoding(path.toUtf8()));
    }

    int maxConcurrent() const
    {
        std::lock_guard lock(mutex_);
        return maxOpen_;
    }

private:
    // Server thread from here on.
    void accept()
    {
        while (QTcpSocket *socket = server_->nextPendingConnection()) {
            socket->setParent(server_);  // deleted with the server at the latest
            auto *request = new QByteArray;
            QObject::connect(socket, &QObject::destroyed, [request] { delete request; });
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                if (request->contains("\r\n\r\n"))
                    return;  // one request per connection
                *request += socket->readAll();
                if (request->contains("\r\n\r\n"))
                    answer(socket, *request);
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void answer(QTcpSocket *socket, const QByteArray &request)
    {
        const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
        const QString target
            = requestLine.size() >= 2 ? QUrl::fromPercentEncoding(requestLine[1]) : QString();
        HttpRoute r = HttpRoute::withStatus(404, "<html><body>not found</body></html>");
        {
            std::lock_guard lock(mutex_);
            counts_[target] += 1;
            times_.append(QDateTime::currentMSecsSinceEpoch());
            r = routes_.value(target, r);
            const QList<HttpRoute> turns = inTurn_.value(target);
            if (!turns.isEmpty())
                r = turns.at(std::min<qsizetype>(counts_[target], turns.size()) - 1);
            maxOpen_ = std::max(maxOpen_, ++open_);
        }
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(r.delayMs, server_, [this, guarded, r] {
            {
                std::lock_guard lock(mutex_);
                --open_;
            }
            if (!guarded)
                return;
            switch (r.mode) {
            case HttpRoute::Mode::NeverAnswer:
                return;
            case HttpRoute::Mode::HeadersThenNothing:
                guarded->write(responseHead(r, false));
                return;
            case HttpRoute::Mode::Answer:
                guarded->write(responseHead(r, true) + r.body);
                guarded->disconnectFromHost();
                return;
            case HttpRoute::Mode::Raw:
                guarded->write(r.body);
                guarded->disconnectFromHost();
                return;
            }
        });
    }

    QThread thread_;
    QTcpServer *server_ = nullptr;
    quint16 port_ = 0;
    mutable std::mutex mutex_;
    QHash<QString, HttpRoute> routes_;
    QHash<QString, QList<HttpRoute>> inTurn_;
    QHash<QString, int> counts_;
    QList<qint64> times_;
    int open_ = 0;
    int maxOpen_ = 0;
};

HttpTestServer::HttpTestServer()
{
    ensureCoreApplication();
    impl_ = std::make_unique<Impl>();
}

HttpTestServer::~HttpTestServer() = default;

void HttpTestServer::route(const QString &path, const HttpRoute &route)
{
    impl_->route(path, route);
}

void HttpTestServer::routeInTurn(const QString &path, const QList<HttpRoute> &routes)
{
    impl_->routeInTurn(path, routes);
}

QList<qint64> HttpTestServer::requestTimes() const
{
    return impl_->requestTimes();
}

quint16 HttpTestServer::port() const
{
    return impl_->port();
}

QString HttpTestServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

int HttpTestServer::requestCount(const QString &path) const
{
    return impl_->requestCount(path);
}

int HttpTestServer::maxConcurrentRequests() const
{
    return impl_->maxConcurrent();
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

}  // namespace marunoki::test

namespace marunoki::test {

void ensureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "marunoki-test";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

}  // namespace marunoki::test
