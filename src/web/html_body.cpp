#include "web/html_body.h"

#include "web/html_nesting.h"

#include <QList>

#include <gumbo.h>

#include <cstring>
#include <memory>
#include <vector>

// NOTES ON THE DESIGN
//
// Line breaks. An HTML5 parser turns every CR LF of the input into LF, but the
// readers expect the CR LF pairs of the page (the page table removes them, so a
// cell written over several source lines reads as one line). Before parsing,
// every CR LF pair is replaced by a form feed, which the parser treats exactly
// like any other white space and keeps as it is; the serializer writes each form
// feed back as CR LF. A form feed written in the page itself comes out as CR LF
// too; pages do not carry form feeds. The one exception is a CR LF right after a
// <pre>, <textarea> or <listing> start tag, which the parser drops as a browser
// does: it becomes LF, so the parser still sees and drops it.
//
// Memory. gumbo frees its tree recursively, which a deeply nested page would
// turn into a stack overflow. The parser therefore allocates from an arena that
// is released as a whole, and the tree is never freed node by node. The
// serializer walks the tree with its own stack.

namespace marunoki {

namespace {

// Bump allocator handed to gumbo; everything is released with the arena.
class Arena {
public:
    static void *allocate(void *self, size_t size) { return static_cast<Arena *>(self)->take(size); }
    static void release(void *, void *) { }

private:
    static constexpr size_t kBlock = 1 << 20;
    static constexpr size_t kAlign = alignof(std::max_align_t);

    void *take(size_t size)
    {
        size = (size + kAlign - 1) & ~(kAlign - 1);
        if (size == 0)
            size = kAlign;
        if (size > left_) {
            const size_t block = std::max(size, kBlock);
            blocks_.push_back(std::unique_ptr<char[]>(new char[block]));  // not zeroed
            next_ = blocks_.back().get();
            left_ = block;
        }
        void *p = next_;
        next_ += size;
        left_ -= size;
        return p;
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    char *next_ = nullptr;
    size_t left_ = 0;
};

QByteArray lowerAscii(QByteArray text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

// The value that follows "charset" and "=" in a meta tag's text, or empty.
QByteArray charsetInMeta(const QByteArray &tag)
{
    const QByteArray lower = lowerAscii(tag);
    for (qsizetype at = lower.indexOf("charset"); at >= 0; at = lower.indexOf("charset", at + 7)) {
        qsizetype i = at + 7;
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n' || tag[i] == '\r'))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '"' || tag[i] == '\'' || tag[i] == '\t'))
            ++i;
        qsizetype end = i;
        while (end < tag.size() && !QByteArrayView(" \t\r\n\"';>/").contains(tag[end]))
            ++end;
        if (end > i)
            return tag.mid(i, end - i);
    }
    return {};
}

bool isVoid(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BASEFONT:
    case GUMBO_TAG_BGSOUND:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
        return true;
    default:
        return false;
    }
}

// Elements whose text children are written without escaping.
bool holdsRawText(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_PLAINTEXT:
    case GUMBO_TAG_NOSCRIPT:
        return true;
    default:
        return false;
    }
}

bool isHtmlElement(const GumboNode *node, GumboTag tag)
{
    return node && (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE)
        && node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML && node->v.element.tag == tag;
}

// The tag name in the source text of a start tag ("<Foo\r\nbar=1>" -> "Foo").
// gumbo's own helper stops only at some of the white space a tag name ends at,
// and the source text may begin with an end tag the tokenizer passed over
// ("</><foo>"), so the name is taken after the first "<" and a letter.
GumboStringPiece nameInOriginalTag(GumboStringPiece tag)
{
    // No source text (an element the parser made up) is an empty piece, and
    // holds no name.
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    size_t start = 0;
    while (start + 1 < tag.length && !(tag.data[start] == '<' && isLetter(tag.data[start + 1])))
        ++start;
    if (start + 1 >= tag.length)
        return {nullptr, 0};
    ++start;
    size_t end = start;
    while (end < tag.length && !std::strchr(" \t\n\f\r/>", tag.data[end]))
        ++end;
    return {tag.data + start, end - start};
}

// Serializes a body's children the way a browser's innerHTML does.
class Serializer {
public:
    explicit Serializer(qsizetype sizeHint) { out_.reserve(sizeHint + sizeHint / 8); }

    QByteArray run(const GumboNode *body)
    {
        struct Frame {
            const GumboNode *element;
            unsigned next;
        };
        std::vector<Frame> stack {{body, 0}};
        while (!stack.empty()) {
            Frame &top = stack.back();
            const GumboVector &children = top.element->v.element.children;
            if (top.next == children.length) {
                if (top.element != body)
                    writeEndTag(top.element);
                stack.pop_back();
                continue;
            }
            const auto *node = static_cast<const GumboNode *>(children.data[top.next++]);
            switch (node->type) {
            case GUMBO_NODE_ELEMENT:
            case GUMBO_NODE_TEMPLATE:
                writeStartTag(node);
                if (!(node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML && isVoid(node->v.element.tag)))
                    stack.push_back({node, 0});  // invalidates top
                break;
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
                writeText(node);
                break;
            case GUMBO_NODE_CDATA:
                out_.append("<![CDATA[");
                appendRaw(node->v.text.text);
                out_.append("]]>");
                break;
            case GUMBO_NODE_COMMENT:
                out_.append("<!--");
                appendRaw(node->v.text.text);
                out_.append("-->");
                break;
            case GUMBO_NODE_DOCUMENT:
                break;
            }
        }
        return out_;
    }

private:
    QByteArray tagName(const GumboNode *node) const
    {
        const GumboElement &e = node->v.element;
        if (e.tag != GUMBO_TAG_UNKNOWN) {
            if (e.tag_namespace == GUMBO_NAMESPACE_SVG) {
                GumboStringPiece name {gumbo_normalized_tagname(e.tag), 0};
                name.length = qstrlen(name.data);
                if (const char *fixed = gumbo_normalize_svg_tagname(&name))
                    return fixed;
            }
            return gumbo_normalized_tagname(e.tag);
        }
        GumboStringPiece piece = nameInOriginalTag(e.original_tag);
        if (piece.length == 0)
            return "unknown";
        if (e.tag_namespace == GUMBO_NAMESPACE_SVG) {
            if (const char *fixed = gumbo_normalize_svg_tagname(&piece))
                return fixed;
        }
        return lowerAscii(QByteArray(piece.data, qsizetype(piece.length)));
    }

    void writeStartTag(const GumboNode *node)
    {
        out_.append('<');
        out_.append(tagName(node));
        const GumboVector &attrs = node->v.element.attributes;
        for (unsigned i = 0; i < attrs.length; ++i) {
            const auto *attr = static_cast<const GumboAttribute *>(attrs.data[i]);
            out_.append(' ');
            switch (attr->attr_namespace) {
            case GUMBO_ATTR_NAMESPACE_XLINK:
                out_.append("xlink:");
                break;
            case GUMBO_ATTR_NAMESPACE_XML:
                out_.append("xml:");
                break;
            case GUMBO_ATTR_NAMESPACE_XMLNS:
                if (qstrcmp(attr->name, "xmlns") != 0)
                    out_.append("xmlns:");
                break;
            case GUMBO_ATTR_NAMESPACE_NONE:
                break;
            }
            out_.append(attr->name);
            out_.append("=\"");
            appendEscaped(attr->value, true);
            out_.append('"');
        }
        out_.append('>');
    }

    void writeEndTag(const GumboNode *node)
    {
        out_.append("</");
        out_.append(tagName(node));
        out_.append('>');
    }

    void writeText(const GumboNode *node)
    {
        const char *text = node->v.text.text;
        const GumboNode *parent = node->parent;
        if (parent && (parent->type == GUMBO_NODE_ELEMENT || parent->type == GUMBO_NODE_TEMPLATE)
            && parent->v.element.tag_namespace == GUMBO_NAMESPACE_HTML && holdsRawText(parent->v.element.tag))
            appendRaw(text);
        else
            appendEscaped(text, false);
    }

    void appendRaw(const char *text)
    {
        for (const char *p = text; *p; ++p) {
            if (*p == '\f')
                out_.append("\r\n");
            else
                out_.append(*p);
        }
    }

    void appendEscaped(const char *text, bool attribute)
    {
        for (const char *p = text; *p; ++p) {
            switch (*p) {
            case '&':
                out_.append("&amp;");
                break;
            case '\f':
                out_.append("\r\n");
                break;
            case '"':
                out_.append(attribute ? "&quot;" : "\"");
                break;
            case '<':
                out_.append(attribute ? "<" : "&lt;");
                break;
            case '>':
                out_.append(attribute ? ">" : "&gt;");
                break;
            case '\xC2':
                if (p[1] == '\xA0') {  // U+00A0 in UTF-8
                    out_.append("&nbsp;");
                    ++p;
                    break;
                }
                out_.append(*p);
                break;
            default:
                out_.append(*p);
            }
        }
    }

    QByteArray out_;
};

// Whether the start tag of <pre>, <textarea> or <listing> ends just before
// position at: the parser drops a line break there.
bool followsBreakDroppingTag(const QString &text, qsizetype at)
{
    if (at == 0 || text[at - 1] != u'>')
        return false;
    constexpr qsizetype kLookBack = 1024;  // a longer tag is not worth the scan
    const qsizetype from = std::max<qsizetype>(0, at - kLookBack);
    const qsizetype found = QStringView(text).mid(from, at - from).lastIndexOf(u'<');
    if (found < 0)
        return false;
    const qsizetype lt = from + found;
    for (const QLatin1String name :
        {QLatin1String("pre"), QLatin1String("textarea"), QLatin1String("listing")}) {
        const qsizetype end = lt + 1 + name.size();
        if (end < at && QStringView(text).mid(lt + 1, name.size()).compare(name, Qt::CaseInsensitive) == 0
            && QStringView(u" \t\n\f\r/>").contains(text[end]))
            return true;
    }
    return false;
}

// Every CR LF pair becomes a form feed (see the notes above); right after a
// <pre>, <textarea> or <listing> start tag it becomes the LF the parser drops.
QString markLineBreaks(const QString &text)
{
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(u"\r\n"); at >= 0; at = text.indexOf(u"\r\n", copied)) {
        out.append(QStringView(text).mid(copied, at - copied));
        out.append(followsBreakDroppingTag(text, at) ? u'\n' : u'\f');
        copied = at + 2;
    }
    out.append(QStringView(text).mid(copied));
    return out;
}

const GumboNode *findBody(const GumboNode *root)
{
    if (!root || root->type != GUMBO_NODE_ELEMENT)
        return nullptr;
    const GumboVector &children = root->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto *child = static_cast<const GumboNode *>(children.data[i]);
        if (isHtmlElement(child, GUMBO_TAG_BODY))
            return child;
    }
    return nullptr;
}

}  // namespace

QByteArray charsetOfContentType(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray p = part.trimmed();
        if (lowerAscii(p.left(8)) == "charset=") {
            QByteArray value = p.mid(8).trimmed();
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
                && value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            return value.trimmed();
        }
    }
    return {};
}

QByteArray declaredCharset(const QByteArray &bytes)
{
    // Browsers look at the first kilobyte; old pages put long scripts in the head
    // before their meta tag, so a little more is read.
    const QByteArray head = bytes.left(8192);
    const QByteArray lower = lowerAscii(head);
    for (qsizetype at = lower.indexOf("<meta"); at >= 0; at = lower.indexOf("<meta", at + 5)) {
        const qsizetype end = head.indexOf('>', at);
        const QByteArray tag = head.mid(at, end < 0 ? -1 : end - at);
        const QByteArray charset = charsetInMeta(tag);
        if (!charset.isEmpty())
            return charset;
    }
    return {};
}

QStringDecoder decoderForCharset(const QByteArray &label)
{
    const QByteArray name = lowerAscii(label.trimmed());
    static const QList<QByteArray> &shiftJis = *new QList<QByteArray> {"shift_jis", "shift-jis", "sjis",
        "x-sjis", "ms_kanji", "csshiftjis", "windows-31j", "ms932", "cp932", "x-ms-cp932"};
    static const QList<QByteArray> &eucJp
        = *new QList<QByteArray> {"euc-jp", "eucjp", "x-euc-jp", "cseucpkdfmtjapanese"};
    static const QList<QByteArray> &latin = *new QList<QByteArray> {
        "iso-8859-1", "iso8859-1", "latin1", "l1", "us-ascii", "ascii", "cp1252", "windows-1252", "x-cp1252"};
    if (shiftJis.contains(name))
        return QStringDecoder("Shift_JIS");
    if (eucJp.contains(name))
        return QStringDecoder("EUC-JP");
    if (name == "iso-2022-jp" || name == "csiso2022jp")
        return QStringDecoder("ISO-2022-JP");
    // As in browsers, pages labelled Latin-1 are read as windows-1252.
    if (latin.contains(name))
        return QStringDecoder("windows-1252");
    if (!name.isEmpty() && name != "utf-8" && name != "utf8") {
        QStringDecoder other(name.constData());
        if (other.isValid())
            return other;
    }
    return QStringDecoder(QStringDecoder::Utf8);
}

QString decodePage(const QByteArray &bytes, const QByteArray &contentTypeCharset)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringDecoder::Utf8)(QByteArrayView(bytes).sliced(3));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)(QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(QByteArrayView(bytes).sliced(2));
    const QByteArray label
        = contentTypeCharset.trimmed().isEmpty() ? declaredCharset(bytes) : contentTypeCharset;
    QStringDecoder decoder = decoderForCharset(label);
    return decoder(bytes);
}

QString extractBodyHtml(const QByteArray &bytes, const QByteArray &contentTypeCharset)
{
    const QByteArray utf8
        = dropExcessAttributes(markLineBreaks(decodePage(bytes, contentTypeCharset)).toUtf8());
    if (estimateNestingDepth(utf8, kMaxNestingDepth) > kMaxNestingDepth)
        return {};

    Arena arena;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Arena::allocate;
    options.deallocator = &Arena::release;
    options.userdata = &arena;
    options.max_errors = 0;  // the errors are of no use here and cost memory
    const GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    const GumboNode *body = output ? findBody(output->root) : nullptr;
    if (!body)
        return {};
    const QByteArray html = Serializer(utf8.size()).run(body);
    return html.isEmpty() ? QString(QLatin1String("")) : QString::fromUtf8(html);
}

}  // namespace marunoki
