#pragma once
// From the bytes a finished HTTP transfer delivered to the page's own bytes,
// checking that the transfer really ended where the server said it would.
//
// A transfer cut short (the connection closed before Content-Length bytes came,
// a gzip body whose stream stops before its end, a chunked body whose framing
// broke) must not be taken for a whole page: a card cut at its tenth runner
// would otherwise be read as a race of ten. The network layer cannot tell us
// everything: it takes a malformed chunk-size line for the last chunk and
// reports a connection closed in mid-chunk as a clean end. What it hands over is
// therefore checked here by what the transfer announced:
//   - a Content-Length: the body must have all of it;
//   - Content-Encoding gzip (we ask for it and decompress ourselves, so that a
//     cut or damaged stream is seen): the stream must end with its trailer,
//     and decompress to at most the page size limit;
//   - chunked transfer encoding, with nothing else to check against: a page
//     that opened its <html> element must have its </html> end tag (a chunked
//     page is cut somewhere, and every page the sites serve ends with it).

#include "app/result.h"

#include <QByteArray>

namespace marunoki {

// What the response's headers announced about its body.
struct TransferFacts {
    QByteArray contentEncoding;  // the Content-Encoding header, as sent
    qint64 contentLength = -1;  // -1 when there was none
    bool chunked = false;  // Transfer-Encoding: chunked
};

// The page as the server meant it (decompressed), or the cause it failed
// with, a short Japanese phrase.
using TransferBody = Result<QByteArray>;

// Whether a page ends with its closing </html> tag (whitespace may follow,
// and may stand before the tag's ">"). Every page the two sites serve ends so;
// one that does not was cut short somewhere, whatever its transfer said. The
// markup of every charset a page can have here is ASCII, in UTF-16 and UTF-32
// with NUL bytes between, which are passed over.
bool endsWithHtmlEndTag(const QByteArray &page);

// The cause a page that fails endsWithHtmlEndTag is refused with.
QString cutPageCause();

// The page from the received bytes, or the reason the transfer did not end
// cleanly. maxBytes bounds the decompressed page (a gzip bomb is refused with
// tooLarge as its cause).
TransferBody transferBody(
    const QByteArray &received, const TransferFacts &facts, qint64 maxBytes, const QString &tooLarge);

}  // namespace marunoki
