#include "web/page_archive.h"

#include "app/message_sink.h"
#include "web/fetch_cause.h"
#include "web/network_page_source.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
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

QString readableBase(const QString &url, bool *shortened)
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

}  // namespace

PageArchive::PageArchive(const QString &folder)
    : folder_(QDir(folder).absolutePath() + u'/')
{
    QFile index(folder_ + QLatin1String(kIndexName));
    if (!index.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(index.readAll()).split(u'\n');
    for (const QString &line : lines) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() != 3)
            continue;
        const QString url = unescapeField(fields[0]);
        if (url.isEmpty() || !isPlainFileName(fields[1]))
            continue;
        if (!entries_.contains(url))
            order_.append(url);
        entries_.insert(url, Entry {fields[1], fields[2].trimmed().toLatin1()});
    }
}

QString PageArchive::fileNameFor(const QString &url) const
{
    std::lock_guard lock(mutex_);
    return fileNameLocked(url);
}

QString PageArchive::fileNameLocked(const QString &url) const
{
    if (const auto it = entries_.find(url); it != entries_.end())
        return it->file;
    bool shortened = false;
    const QString base = readableBase(url, &shortened);
    const QString plain = base + QLatin1String(".html");
    bool taken = false;
    for (const Entry &e : entries_)
        taken = taken || e.file.compare(plain, Qt::CaseInsensitive) == 0;
    if (!shortened && !taken)
        return plain;
    const QByteArray hash = QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    return base + u'-' + QString::fromLatin1(hash) + QLatin1String(".html");
}

bool PageArchive::writeIndexLocked(QString *error) const
{
    QByteArray text;
    for (const QString &url : order_) {
        const Entry &e = entries_[url];
        text += escapeField(url).toUtf8() + '\t' + e.file.toUtf8() + '\t' + e.charset + '\n';
    }
    QSaveFile index(folder_ + QLatin1String(kIndexName));
    if (!index.open(QIODevice::WriteOnly) || index.write(text) != text.size() || !index.commit()) {
        *error = fileCause(index.error());
        return false;
    }
    return true;
}

bool PageArchive::save(const QString &url, const QByteArray &bytes, const QByteArray &charset, QString *error)
{
    std::lock_guard lock(mutex_);
    if (!QDir().mkpath(folder_)) {
        *error = QStringLiteral("フォルダを作れません");
        return false;
    }
    const QString name = fileNameLocked(url);
    QSaveFile file(folder_ + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = fileCause(file.error());
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
        if (it == entries_.end()) {
            *error = notInArchiveCause();
            return std::nullopt;
        }
        entry = *it;
    }
    QFile file(folder_ + entry.file);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = fileCause(file.error());
        return std::nullopt;
    }
    Page page {file.read(NetworkPageSource::kMaxPageBytes + 1), entry.charset};
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
    (void)cancelFlag;  // reading a file is not worth stopping
    QString error;
    const std::optional<PageArchive::Page> page = archive_.load(url, &error);
    if (!page)
        return failedPage(error);
    return pageFromBytes(page->bytes, page->charset);
}

}  // namespace marunoki
