#include "web/page_archive.h"

#include "app/message_sink.h"
#include "app/regular_file.h"
#include "web/fetch_cause.h"
#include "web/network_page_source.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace marunoki {

namespace {

constexpr int kMaxBaseName = 80;

// Tabs and line breaks would break the index's lines; a backslash escapes them.
QString escapeField(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescapeField(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == u't' ? QChar(u'\t') : next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
    }
    return out;
}

// A name the index may point at: a plain file inside the folder.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(u'\\')
        && !name.contains(u':') && name != QLatin1String(PageArchive::kIndexName);
}

}  // namespace

QString readablePageName(const QString &url, bool *shortened)
{
    const QUrl u(url);
    QString raw = u.host() + u.path();
    if (u.hasQuery())
        raw += u'_' + u.query();
    QString base;
    for (QChar c : raw) {
        const bool keep = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
            || c == u'.' || c == u'-';
        if (keep)
            base += c;
        else if (!base.endsWith(u'_'))
            base += u'_';
    }
    while (base.startsWith(u'_') || base.startsWith(u'.'))
        base.remove(0, 1);
    while (base.endsWith(u'_') || base.endsWith(u'.'))
        base.chop(1);
    for (const QLatin1String ext : {QLatin1String(".html"), QLatin1String(".htm")}) {
        if (base.endsWith(ext, Qt::CaseInsensitive))
            base.chop(ext.size());  // ".html" is added back to every name
    }
    *shortened = base.size() > kMaxBaseName;
    base.truncate(kMaxBaseName);
    return base.isEmpty() ? QStringLiteral("page") : base;
}

PageArchive::PageArchive(const QString &folder, const FileSystem &files)
    : folder_(QDir(folder).absolutePath() + u'/')
    , files_(files)
{
    // An index that is not a regular file (a FIFO would block), too large or
    // unreadable is not used, and never written over: the pages it lists would
    // be lost from it.
    const QString indexPath = folder_ + QLatin1String(kIndexName);
    const RegularFileRead index = readRegularFile(indexPath, kMaxIndexBytes + 1);
    if (!index.status.ok()) {
        if (QFileInfo(indexPath).exists() || QFileInfo(indexPath).isSymLink())
            indexProblem_ = index.status.message();
        return;
    }
    if (index.bytes.size() > kMaxIndexBytes) {
        indexProblem_ = QStringLiteral("%1 MB を超えています").arg(kMaxIndexBytes / (1024 * 1024));
        return;
    }
    for (const QByteArray &raw : index.bytes.split('\n')) {
        const QStringList fields = QString::fromUtf8(raw).split(u'\t');
        const QString url = fields.size() == 3 ? unescapeField(fields[0]) : QString();
        // A line of no use to us is someone else's: it is written back as it was.
        if (url.isEmpty() || !isPlainFileName(fields[1])) {
            if (!raw.trimmed().isEmpty())
                foreignLines_.append(raw);
            continue;
        }
        if (!entries_.contains(url))
            order_.append(url);
        entries_.insert(url, Entry {fields[1], fields[2].trimmed().toLatin1()});
    }
}

QString PageArchive::indexRefusal() const
{
    return QStringLiteral("索引 %1 が読めません（%2）").arg(QLatin1String(kIndexName), indexProblem_);
}

QString PageArchive::fileNameFor(const QString &url) const
{
    std::lock_guard lock(mutex_);
    return fileNameLocked(url);
}

// A generated name may be written for an address when no other address of
// the index uses it and no file of that name exists, unless the index already
// lists that very file as this address's page (an earlier save of ours).
bool PageArchive::nameIsFreeFor(const QString &url, const QString &name) const
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it.key() != url && it->file.compare(name, Qt::CaseInsensitive) == 0)
            return false;
    }
    const auto own = entries_.find(url);
    if (own != entries_.end() && own->file == name)
        return true;
    return !QFileInfo(folder_ + name).exists() && !QFileInfo(folder_ + name).isSymLink();
}

QString PageArchive::fileNameLocked(const QString &url) const
{
    // Only names made from the address: an index line naming "notes.txt" or
    // "marunoki.dat" never becomes a file the archive writes.
    bool shortened = false;
    const QString base = readablePageName(url, &shortened);
    const QString plain = base + QLatin1String(".html");
    const QByteArray hash = QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    const QString hashed = base + u'-' + QString::fromLatin1(hash) + QLatin1String(".html");
    // An address saved before keeps its file.
    if (const auto own = entries_.find(url); own != entries_.end() && own->file == hashed)
        return hashed;
    if (!shortened && nameIsFreeFor(url, plain))
        return plain;
    return nameIsFreeFor(url, hashed) ? hashed : QString();
}

bool PageArchive::writeIndexLocked(QString *error) const
{
    QByteArray text;
    for (const QString &url : order_) {
        const Entry &e = entries_[url];
        text += escapeField(url).toUtf8() + '\t' + e.file.toUtf8() + '\t' + e.charset + '\n';
    }
    for (const QByteArray &line : foreignLines_)
        text += line + '\n';
    const Status written = writeFileAtomically(folder_ + QLatin1String(kIndexName), text, files_);
    if (!written.ok())
        *error = written.message();
    return written.ok();
}

bool PageArchive::save(const QString &url, const QByteArray &bytes, const QByteArray &charset, QString *error)
{
    std::lock_guard lock(mutex_);
    if (!indexProblem_.isEmpty()) {
        *error = indexRefusal();
        return false;
    }
    if (!QDir().mkpath(folder_)) {
        *error = QStringLiteral("フォルダを作れません");
        return false;
    }
    const QString name = fileNameLocked(url);
    if (name.isEmpty()) {
        *error = QStringLiteral("このアドレスのファイル名はすべて別のファイルが使っています");
        return false;
    }
    const Status written = writeFileAtomically(folder_ + name, bytes, files_);
    if (!written.ok()) {
        *error = written.message();
        return false;
    }
    QByteArray cleanCharset = charset;
    cleanCharset.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
    if (!entries_.contains(url))
        order_.append(url);
    entries_.insert(url, Entry {name, cleanCharset.trimmed()});
    return writeIndexLocked(error);
}

std::optional<PageArchive::Page> PageArchive::load(const QString &url, QString *error) const
{
    Entry entry;
    {
        std::lock_guard lock(mutex_);
        const auto it = entries_.find(url);
        if (!indexProblem_.isEmpty()) {
            *error = indexRefusal();
            return std::nullopt;
        }
        if (it == entries_.end()) {
            *error = notInArchiveCause();
            return std::nullopt;
        }
        entry = *it;
    }
    // The index may name anything in the folder; a FIFO would hold the load.
    RegularFileRead read = readRegularFile(folder_ + entry.file, NetworkPageSource::kMaxPageBytes + 1);
    if (!read.status.ok()) {
        *error = QStringLiteral("%1: %2").arg(entry.file, read.status.message());
        return std::nullopt;
    }
    Page page {std::move(read.bytes), entry.charset};
    if (page.bytes.size() > NetworkPageSource::kMaxPageBytes) {
        *error = QStringLiteral("ページが大きすぎます");
        return std::nullopt;
    }
    return page;
}

ArchivingPageSource::ArchivingPageSource(PageSource &inner, PageArchive &archive, MessageSink &messages)
    : inner_(inner)
    , archive_(archive)
    , messages_(messages)
{ }

FetchedPage ArchivingPageSource::fetch(const QString &url, const std::atomic<qint16> &cancelFlag)
{
    FetchedPage page = inner_.fetch(url, cancelFlag);
    if (page.outcome != FetchedPage::Outcome::Ok)
        return page;
    QString error;
    if (!archive_.save(url, page.bytes, page.charset, &error) && !reported_.exchange(true))
        messages_.message(QStringLiteral("ページを保存できません: %1 (%2)").arg(url, error));
    return page;
}

OfflinePageSource::OfflinePageSource(const PageArchive &archive)
    : archive_(archive)
{ }

FetchedPage OfflinePageSource::fetch(const QString &url, const std::atomic<qint16> &cancelFlag)
{
    // Reading the file never blocks (only regular files are read); its parse
    // may take long, and a stop does not wait for it.
    QString error;
    const std::optional<PageArchive::Page> page = archive_.load(url, &error);
    if (!page)
        return failedPage(error);
    return pageFromBytesUnlessStopped(page->bytes, page->charset, cancelFlag);
}

}  // namespace marunoki
