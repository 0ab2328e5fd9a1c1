#include "web/network_page_source.h"

#include "app/message_sink.h"
#include "app/regular_file.h"
#include "app/thread_annotations.h"
#include "web/fetch_cause.h"
#include "web/html_body.h"
#include "web/transfer_body.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <semaphore>
#include <thread>
#include <utility>

// NOTES ON THE DESIGN
//
// Three kinds of thread meet here. The caller's thread (a load) only touches the
// shared table of entries under the mutex and waits on the condition. The
// network thread owns the QNetworkAccessManager, every reply and every timer;
// it is only ever reached through queued calls on worker_. Parser threads turn
// the bytes of a finished reply into body HTML and store the result.
//
// An entry is created for every address asked for (fetch or prefetch) and lives
// until fetch() takes its result or cancelAll() drops it. Each entry has an id;
// a request or a parse carries the id it was started for and stores its result
// only if the entry with that id still exists, so a result of a dropped request
// never reaches a later request for the same address.
//
// Parses are never waited for. The HTML parser cannot be interrupted, and a stop
// must end the load at once whatever page it is parsing: a parse thread holds
// the shared table (Shared) it stores into, so the source can go away before
// it, and a result that arrives for a dropped entry is dropped. The parsing
// code keeps no static object that is destroyed at exit, so a parse still
// running when the program ends is harmless.
//
// Manners live on the network thread: pump() asks the pacer before each start
// and, when it must wait, arms one timer that pumps again. A busy answer worth
// waiting out puts its page back at the front of the queue, still marked as
// started (a fetch() of it does not queue it a second time), and holds the
// pacer; the entry stays, so a fetch() waits for it as for any request, and
// cancelAll() drops it like any other. The hold outlives a cancelAll(): the
// site asked the source, not the page, to wait. The notice of the first wait
// is handed to the caller's thread (Shared::notice), because a message sink may
// block until the user has read it and the network thread must not.

namespace marunoki {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(20);

FetchedPage cancelled()
{
    FetchedPage page;
    page.outcome = FetchedPage::Outcome::Cancelled;
    return page;
}

QString tooLarge()
{
    return QStringLiteral("ページが大きすぎます（%1 MB を超えています）")
        .arg(NetworkPageSource::kMaxPageBytes / (1024 * 1024));
}

TransferFacts transferFacts(const QNetworkReply &reply)
{
    TransferFacts facts;
    facts.contentEncoding = reply.rawHeader(QByteArrayLiteral("Content-Encoding"));
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid())
        facts.contentLength = length.toLongLong();
    facts.chunked = reply.rawHeader(QByteArrayLiteral("Transfer-Encoding")).toLower().contains("chunked");
    return facts;
}

}  // namespace

FetchedPage pageFromBytes(const QByteArray &bytes, const QByteArray &charset)
{
    // A page cut short is never taken for the page: a card cut at its tenth
    // runner would read as a race of ten.
    if (!endsWithHtmlEndTag(bytes))
        return failedPage(cutPageCause());
    FetchedPage page;
    page.outcome = FetchedPage::Outcome::Ok;
    page.bodyHtml = extractBodyHtml(bytes, charset);
    page.bytes = bytes;
    page.charset = charset;
    return page;
}

FetchedPage failedPage(const QString &cause)
{
    FetchedPage page;  // a page is Failed until it is read
    page.error = cause;
    return page;
}

FetchedPage pageFromBytesUnlessStopped(
    const QByteArray &bytes, const QByteArray &charset, const std::atomic<qint16> &cancelFlag)
{
    struct Handover {
        Mutex mutex;
        std::condition_variable_any ready;
        std::optional<FetchedPage> page GUARDED_BY(mutex);
    };
    const auto handover = std::make_shared<Handover>();
    std::thread([handover, bytes, charset] {
        FetchedPage page = pageFromBytes(bytes, charset);
        {
            const MutexLock lock(handover->mutex);
            handover->page = std::move(page);
        }
        handover->ready.notify_all();
    }).detach();
    MutexLock lock(handover->mutex);
    while (!handover->page) {
        if (cancelFlag.load() == -1)
            return cancelled();  // the parse ends on its own; its result is dropped
        handover->ready.wait_for(lock, kPoll);
    }
    return std::move(*handover->page);
}

FetchedPage readPageFile(const QString &path, const std::atomic<qint16> &cancelFlag)
{
    const RegularFileRead read = readRegularFile(path, NetworkPageSource::kMaxPageBytes + 1);
    if (!read.status.ok())
        return failedPage(read.status.message());
    if (read.bytes.size() > NetworkPageSource::kMaxPageBytes)
        return failedPage(tooLarge());
    return pageFromBytesUnlessStopped(read.bytes, {}, cancelFlag);
}

class NetworkPageSource::Impl {
public:
    explicit Impl(const Clock &clock)
        : pacer_(clock)
    {
        worker_ = new QObject;
        worker_->moveToThread(&thread_);
        thread_.setObjectName(QStringLiteral("page-network"));
        thread_.start();
    }

    ~Impl()
    {
        QMetaObject::invokeMethod(
            worker_, [this] { shutdown(); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
        delete worker_;
        // Parses still running are not waited for (see the notes).
    }

    void setTimeLimitMs(int ms)
    {
        const MutexLock lock(shared_->mutex);
        timeLimitMs_ = std::max(1, ms);
    }

    void setMaxInFlight(int count)
    {
        {
            const MutexLock lock(shared_->mutex);
            maxInFlight_ = std::max(1, count);
        }
        schedulePump();
    }

    void setRate(double perSecond)
    {
        {
            // At once, not queued: a pump already queued may find pages to start.
            const MutexLock lock(shared_->mutex);
            pacer_.setRate(perSecond);
        }
        schedulePump();
    }

    void setNotices(MessageSink *sink)
    {
        const MutexLock lock(shared_->mutex);
        notices_ = sink;
    }

    FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag)
    {
        if (QUrl(url).isLocalFile())
            return readPageFile(QUrl(url).toLocalFile(), cancelFlag);
        // The network thread's event loop cannot run without an application
        // object; waiting for it would never end.
        if (!QCoreApplication::instance())
            return failedPage(QStringLiteral("QCoreApplication がありません"));

        MutexLock lock(shared_->mutex);
        auto it = shared_->entries.find(url);
        if (it == shared_->entries.end()) {
            it = shared_->entries.insert(url, Entry {++lastId_, false, {}});
            queue_.push_front({url, it->id});
        } else if (!it->started && !it->done) {
            // The page asked for now goes before the pages fetched ahead.
            for (auto q = queue_.begin(); q != queue_.end(); ++q) {
                if (q->url == url) {
                    queue_.erase(q);
                    break;
                }
            }
            queue_.push_front({url, it->id});
        }
        const quint64 id = it->id;
        lock.unlock();
        schedulePump();

        lock.lock();
        for (;;) {
            if (notices_ && !shared_->notice.isEmpty()) {
                MessageSink *sink = notices_;
                const QString text = std::exchange(shared_->notice, QString());
                lock.unlock();
                sink->message(text);
                lock.lock();
                continue;
            }
            it = shared_->entries.find(url);
            if (it == shared_->entries.end() || it->id != id)
                return cancelled();  // dropped by cancelAll()
            if (it->done) {
                FetchedPage page = std::move(it->page);
                shared_->entries.erase(it);
                return page;
            }
            if (cancelFlag.load() == -1)
                return cancelled();
            shared_->ready.wait_for(lock, kPoll);
        }
    }

    void prefetch(const QStringList &urls)
    {
        {
            const MutexLock lock(shared_->mutex);
            for (const QString &url : urls) {
                if (shared_->entries.contains(url) || QUrl(url).isLocalFile())
                    continue;
                const auto it = shared_->entries.insert(url, Entry {++lastId_, false, {}});
                queue_.push_back({url, it->id});
            }
        }
        schedulePump();
    }

    void cancelAll()
    {
        {
            const MutexLock lock(shared_->mutex);
            shared_->entries.clear();
            queue_.clear();
        }
        shared_->ready.notify_all();
        QMetaObject::invokeMethod(
            worker_, [this] { abortDropped(false); }, Qt::QueuedConnection);
    }

private:
    struct Entry {
        quint64 id = 0;
        bool done = false;
        FetchedPage page;
        bool started = false;
    };
    struct Queued {
        QString url;
        quint64 id = 0;
        int retries = 0;  // times asked again after a busy answer
    };
    // A request in flight; lives in the network thread only.
    struct Job {
        QString url;
        quint64 id = 0;
        QByteArray bytes;
        QString failure;  // set when we abort the request ourselves
        bool dropped = false;
        int retries = 0;
        QTimer *timer = nullptr;
    };

    void schedulePump()
    {
        QMetaObject::invokeMethod(
            worker_, [this] { pump(); }, Qt::QueuedConnection);
    }

    // What the caller's thread, the network thread and the parse threads share;
    // a parse thread holds it for as long as it runs, which may be longer than
    // the source lives.
    struct Shared {
        Mutex mutex;
        std::condition_variable_any ready;
        QHash<QString, Entry> entries GUARDED_BY(mutex);
        // Two parses at a time, as many as the machine has cores to spare.
        std::counting_semaphore<> parseSlots {2};
        // The first wait for a busy site, until a waiting fetch() says it.
        QString notice GUARDED_BY(mutex);

        // Stores a result if its entry is still the one the work was started for.
        void store(const QString &url, quint64 id, FetchedPage page)
        {
            {
                const MutexLock lock(mutex);
                const auto it = entries.find(url);
                if (it == entries.end() || it->id != id)
                    return;
                it->page = std::move(page);
                it->done = true;
            }
            ready.notify_all();
        }
    };

    void store(const QString &url, quint64 id, FetchedPage page) { shared_->store(url, id, std::move(page)); }

    // Network thread: starts queued requests while there is room.
    void pump()
    {
        if (stopping_)
            return;
        if (!manager_)
            manager_ = new QNetworkAccessManager(worker_);
        for (;;) {
            Queued next;
            int timeLimit = 0;
            {
                const MutexLock lock(shared_->mutex);
                // Pages dropped since they were queued take no turn of the pacer.
                while (!queue_.empty() && !isCurrent(queue_.front()))
                    queue_.pop_front();
                if (queue_.empty() || int(jobs_.size()) >= maxInFlight_)
                    return;
                const std::chrono::nanoseconds wait = pacer_.wait();
                if (wait.count() > 0) {
                    // A timer fires no sooner than asked: the pacer then lets it go.
                    pumpLater(std::chrono::ceil<std::chrono::milliseconds>(wait));
                    return;
                }
                next = queue_.front();
                queue_.pop_front();
                shared_->entries.find(next.url)->started = true;
                timeLimit = timeLimitMs_;
                pacer_.started();
            }
            start(next, timeLimit);
        }
    }

    bool isCurrent(const Queued &queued) const REQUIRES(shared_->mutex)
    {
        const auto it = shared_->entries.constFind(queued.url);
        return it != shared_->entries.constEnd() && it->id == queued.id;
    }

    // Network thread: pumps again after `wait`, unless a pump is due sooner.
    void pumpLater(std::chrono::milliseconds wait)
    {
        if (!paceTimer_) {
            paceTimer_ = new QTimer(worker_);
            paceTimer_->setSingleShot(true);
            paceTimer_->setTimerType(Qt::PreciseTimer);
            QObject::connect(paceTimer_, &QTimer::timeout, worker_, [this] { pump(); });
        }
        if (paceTimer_->isActive() && paceTimer_->remainingTime() <= wait.count())
            return;
        paceTimer_->start(int(std::min<qint64>(wait.count(), std::numeric_limits<int>::max())));
    }

    // Network thread: a busy answer worth waiting out puts the page back at the
    // front of the queue and holds every start for the wait. False when the
    // answer is final.
    bool retryLater(const Job &job, QNetworkReply *reply, int code)
    {
        const auto wait = retryWait(code, reply->rawHeader(QByteArrayLiteral("Retry-After")), job.retries,
            QDateTime::currentDateTimeUtc());
        if (!wait)
            return false;
        {
            const MutexLock lock(shared_->mutex);
            pacer_.holdFor(*wait);
            const Queued again {job.url, job.id, job.retries + 1};
            if (isCurrent(again))
                queue_.push_front(again);
            if (!noticeGiven_) {
                noticeGiven_ = true;
                shared_->notice = QStringLiteral("サイト（%1）が混み合っています（HTTP %2）。"
                                                 "求めに応じて %3 秒待ってから読み直します")
                                      .arg(QUrl(job.url).host())
                                      .arg(code)
                                      .arg(wait->count());
            }
        }
        shared_->ready.notify_all();
        return true;
    }

    void start(const Queued &what, int timeLimitMs)
    {
        QNetworkRequest request {QUrl(what.url)};
        request.setAttribute(
            QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        request.setMaximumRedirectsAllowed(5);
        request.setHeader(
            QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/5.0 (compatible; Marunoki)"));
        // Asked for by us, a compressed body reaches us as sent: we decompress it
        // ourselves, so that a stream cut short is seen (see transfer_body.h).
        request.setRawHeader(QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("gzip"));
        QNetworkReply *reply = manager_->get(request);

        Job &job = jobs_[reply];
        job.url = what.url;
        job.id = what.id;
        job.retries = what.retries;
        job.timer = new QTimer(reply);
        job.timer->setSingleShot(true);
        QObject::connect(job.timer, &QTimer::timeout, reply, [this, reply, timeLimitMs] {
            const int seconds = (timeLimitMs + 999) / 1000;
            abortWith(reply, QStringLiteral("制限時間 %1 秒を過ぎても読み込めません").arg(seconds));
        });
        job.timer->start(timeLimitMs);

        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this, reply] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() > kMaxPageBytes)
                abortWith(reply, tooLarge());
        });
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [this, reply] {
            const auto it = jobs_.find(reply);
            if (it == jobs_.end())
                return;
            it->bytes += reply->read(kMaxPageBytes + 1 - it->bytes.size());
            if (it->bytes.size() > kMaxPageBytes)
                abortWith(reply, tooLarge());
        });
        QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply] { finish(reply); });
    }

    void abortWith(QNetworkReply *reply, const QString &cause)
    {
        const auto it = jobs_.find(reply);
        if (it == jobs_.end() || !it->failure.isEmpty())
            return;
        it->failure = cause;
        reply->abort();  // emits finished()
    }

    void finish(QNetworkReply *reply)
    {
        const auto it = jobs_.find(reply);
        if (it == jobs_.end())
            return;
        Job job = std::move(*it);
        jobs_.erase(it);
        reply->deleteLater();

        if (!job.dropped) {
            const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
            const int code = status.isValid() ? status.toInt() : 0;
            if (!job.failure.isEmpty()) {
                store(job.url, job.id, failedPage(job.failure));
            } else if (reply->error() == QNetworkReply::RemoteHostClosedError && code != 0 && code < 400) {
                // The server answered, then closed the connection before the end.
                store(job.url, job.id,
                    failedPage(QStringLiteral("転送が途中で切れました（接続が切れました）")));
            } else if (reply->error() != QNetworkReply::NoError && code < 400) {
                // Connection failures, redirect loops: in the user's words.
                store(job.url, job.id, failedPage(networkCause(reply->error())));
            } else if (retryLater(job, reply, code)) {
                // Asked again once the wait is over (pump() below arms it).
            } else if (status.isValid() && code == 0) {
                // A status line of 000 answers, but with no page.
                store(job.url, job.id, failedPage(QStringLiteral("HTTP 0")));
            } else if (code != 0 && (code < 200 || code > 299)) {
                store(job.url, job.id, failedPage(QStringLiteral("HTTP %1").arg(code)));
            } else {
                QByteArray bytes = job.bytes + reply->readAll();
                if (bytes.size() > kMaxPageBytes) {
                    store(job.url, job.id, failedPage(tooLarge()));
                } else {
                    const QByteArray charset
                        = charsetOfContentType(reply->rawHeader(QByteArrayLiteral("Content-Type")));
                    const TransferFacts facts = transferFacts(*reply);
                    // Nobody waits for this thread: a parse cannot be interrupted, so
                    // a stop or the end of the source abandons it (see the notes).
                    std::thread([shared = shared_, url = job.url, id = job.id, bytes = std::move(bytes),
                                    charset, facts] {
                        shared->parseSlots.acquire();
                        const TransferBody body = transferBody(bytes, facts, kMaxPageBytes, tooLarge());
                        shared->store(url, id,
                            body.status.ok() ? pageFromBytes(body.value, charset)
                                             : failedPage(body.status.message()));
                        shared->parseSlots.release();
                    }).detach();
                }
            }
        }
        pump();
    }

    // Network thread: aborts the requests whose entries cancelAll() dropped (or
    // every request, when shutting down). A request started after that
    // cancelAll() for a new entry is left alone.
    void abortDropped(bool everything)
    {
        QList<QNetworkReply *> doomed;
        {
            const MutexLock lock(shared_->mutex);
            for (auto it = jobs_.begin(); it != jobs_.end(); ++it) {
                const auto entry = shared_->entries.find(it->url);
                if (everything || entry == shared_->entries.end() || entry->id != it->id)
                    doomed.append(it.key());
            }
        }
        for (QNetworkReply *reply : doomed) {
            const auto it = jobs_.find(reply);
            if (it != jobs_.end()) {
                it->dropped = true;
                reply->abort();
            }
        }
    }

    void shutdown()
    {
        stopping_ = true;
        if (paceTimer_)
            paceTimer_->stop();
        abortDropped(true);
        delete manager_;
        manager_ = nullptr;
    }

    // The table, its mutex and its condition live in shared_; the queue and
    // the limits are the source's own, guarded by the same mutex.
    const std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    std::deque<Queued> queue_ GUARDED_BY(shared_->mutex);
    quint64 lastId_ GUARDED_BY(shared_->mutex) = 0;
    int maxInFlight_ GUARDED_BY(shared_->mutex) = kDefaultMaxInFlight;
    int timeLimitMs_ GUARDED_BY(shared_->mutex) = kDefaultTimeLimitMs;
    MessageSink *notices_ GUARDED_BY(shared_->mutex) = nullptr;
    RequestPacer pacer_ GUARDED_BY(shared_->mutex);

    QThread thread_;
    QObject *worker_ = nullptr;
    QNetworkAccessManager *manager_ = nullptr;
    QHash<QNetworkReply *, Job> jobs_;  // network thread only
    bool stopping_ = false;  // network thread only
    QTimer *paceTimer_ = nullptr;  // network thread only
    bool noticeGiven_ = false;  // network thread only
};

NetworkPageSource::NetworkPageSource(const Clock &clock)
    : impl_(std::make_unique<Impl>(clock))
{ }

NetworkPageSource::~NetworkPageSource() = default;

void NetworkPageSource::setTimeLimitMs(int ms)
{
    impl_->setTimeLimitMs(ms);
}

void NetworkPageSource::setMaxInFlight(int count)
{
    impl_->setMaxInFlight(count);
}

void NetworkPageSource::setRate(double perSecond)
{
    impl_->setRate(perSecond);
}

void NetworkPageSource::setNotices(MessageSink *sink)
{
    impl_->setNotices(sink);
}

FetchedPage NetworkPageSource::fetch(const QString &url, const std::atomic<qint16> &cancelFlag)
{
    return impl_->fetch(url, cancelFlag);
}

void NetworkPageSource::prefetch(const QStringList &urls)
{
    impl_->prefetch(urls);
}

void NetworkPageSource::cancelAll()
{
    impl_->cancelAll();
}

}  // namespace marunoki
