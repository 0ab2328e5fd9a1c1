#pragma once
// From the bytes a site served to the body HTML the page table is cut from.
//
// The readers were written against a browser's view of a page: the body's HTML
// as the browser serializes its document (lower-case tag names, quoted
// attributes, end tags that the page left out written in), with the page's
// CR LF line breaks still in the text. extractBodyHtml gives that text from the
// raw bytes: it decodes them by their charset, parses them the way a browser
// does (gumbo, the HTML5 parsing algorithm) and serializes the body's children
// like a browser's innerHTML.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace marunoki {

// Deepest element nesting a page may have; deeper pages are refused before
// parsing (a browser stops nesting at the same depth).
constexpr int kMaxNestingDepth = 512;

// The charset parameter of a Content-Type header value ("text/html;
// charset=Shift_JIS" -> "Shift_JIS"); empty when it has none.
QByteArray charsetOfContentType(const QByteArray &contentType);

// The charset a page declares for itself in its first bytes, by
// <meta charset="..."> or <meta http-equiv="Content-Type" content="...; charset=...">;
// empty when it declares none.
QByteArray declaredCharset(const QByteArray &bytes);

// The decoder for a charset label, by the names the web uses for them
// ("x-sjis", "sjis", "windows-31j", "cp932" are all Shift_JIS). An empty or
// unknown label gives UTF-8.
QStringDecoder decoderForCharset(const QByteArray &label);

// The page's text: a byte-order mark first, then the Content-Type header's
// charset (contentTypeCharset, may be empty), then the page's own declaration,
// else UTF-8. Undecodable bytes become U+FFFD; never fails.
QString decodePage(const QByteArray &bytes, const QByteArray &contentTypeCharset);

// The body's inner HTML as described above. Returns a null QString when the page
// has no body (a frameset page) or nests deeper than kMaxNestingDepth; any other
// input, however broken, gives a body (possibly empty). Attributes beyond
// kMaxAttributesPerElement on one element are dropped (see html_nesting.h), which
// keeps the parser's work linear in the page. Thread-safe.
QString extractBodyHtml(const QByteArray &bytes, const QByteArray &contentTypeCharset);

}  // namespace marunoki
