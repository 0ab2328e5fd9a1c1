#include "web/transfer_body.h"

#include <QString>

#include <zlib.h>

namespace marunoki {

namespace {

QString cutShort()
{
    return QStringLiteral("転送が途中で切れました");
}

TransferBody failure(const QString &cause)
{
    return {{}, Status::failure(cause)};
}

// Decompresses a gzip (or zlib) stream, which must be whole.
TransferBody gunzip(const QByteArray &data, qint64 maxBytes, const QString &tooLarge)
{
    z_stream stream {};
    // 15 + 32: the largest window, and a gzip or zlib header recognised by itself.
    if (inflateInit2(&stream, 15 + 32) != Z_OK)
        return failure(QStringLiteral("圧縮されたページを展開できません"));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    TransferBody result;
    int rc = Z_OK;
    while (rc == Z_OK) {
        const qsizetype have = result.value.size();
        if (have > maxBytes) {
            inflateEnd(&stream);
            return failure(tooLarge);
        }
        const qsizetype room = qsizetype(std::min<qint64>(1 << 20, maxBytes + 1 - have));
        result.value.resize(have + room);
        stream.next_out = reinterpret_cast<Bytef *>(result.value.data() + have);
        stream.avail_out = uInt(room);
        rc = inflate(&stream, Z_NO_FLUSH);
        result.value.resize(have + room - qsizetype(stream.avail_out));
        // Out of input with the stream unfinished: inflate has nothing more to do.
        if (rc == Z_OK && stream.avail_in == 0 && stream.avail_out > 0)
            rc = Z_BUF_ERROR;
    }
    inflateEnd(&stream);
    if (rc == Z_BUF_ERROR)
        return failure(QStringLiteral("圧縮されたページが途中で切れています"));
    if (rc != Z_STREAM_END)
        return failure(QStringLiteral("圧縮されたページが壊れています"));
    if (result.value.size() > maxBytes)
        return failure(tooLarge);
    return result;
}

// A page that opened <html> and never closed it. The markup of every charset a
// page can have here is ASCII.
bool endsBeforeItsHtmlEndTag(const QByteArray &page)
{
    const QByteArray lower = page.toLower();
    return lower.contains("<html") && !lower.contains("</html");
}

bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\0';
}

}  // namespace

bool endsWithHtmlEndTag(const QByteArray &page)
{
    // Walks back from the end: spaces, ">", spaces, "</html" (NULs of a wide
    // charset passed over everywhere).
    qsizetype i = page.size();
    const auto skipSpaces = [&] {
        while (i > 0 && isAsciiSpace(page[i - 1]))
            --i;
    };
    const auto take = [&](char wanted) {
        while (i > 0 && page[i - 1] == '\0')
            --i;
        if (i == 0 || QChar::toLower(uint(uchar(page[i - 1]))) != uint(uchar(wanted)))
            return false;
        --i;
        return true;
    };
    skipSpaces();
    if (!take('>'))
        return false;
    skipSpaces();
    for (const char c : {'l', 'm', 't', 'h', '/', '<'}) {
        if (!take(c))
            return false;
    }
    return true;
}

QString cutPageCause()
{
    return QStringLiteral("ページが途中で切れています（最後の閉じタグがありません）");
}

TransferBody transferBody(
    const QByteArray &received, const TransferFacts &facts, qint64 maxBytes, const QString &tooLarge)
{
    if (facts.contentLength >= 0 && received.size() < facts.contentLength)
        return failure(cutShort()
            + QStringLiteral("（%1 バイト中 %2 バイト）").arg(facts.contentLength).arg(received.size()));

    const QByteArray encoding = facts.contentEncoding.trimmed().toLower();
    TransferBody body;
    if (encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate") {
        body = gunzip(received, maxBytes, tooLarge);
        if (!body.status.ok())
            return body;
    } else if (encoding.isEmpty() || encoding == "identity") {
        body.value = received;
    } else {
        return failure(QStringLiteral("未対応の圧縮形式です（%1）").arg(QString::fromLatin1(encoding)));
    }

    if (facts.chunked && endsBeforeItsHtmlEndTag(body.value))
        return failure(cutShort());
    return body;
}

}  // namespace marunoki
