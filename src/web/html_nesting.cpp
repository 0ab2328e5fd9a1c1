#include "web/html_nesting.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace marunoki {

namespace {

using Names = std::unordered_set<std::string_view>;
// The name sets are made once and never destroyed: a parse abandoned by a stop
// may still be running here while the program exits.

bool isOneOf(const Names &names, std::string_view name)
{
    return names.count(name) != 0;
}

const Names &voidElements()
{
    static const Names &names
        = *new Names {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img",
            "image", "input", "keygen", "link", "meta", "param", "source", "track", "wbr", "menuitem"};
    return names;
}

// Elements whose content is text up to their own end tag.
const Names &rawTextElements()
{
    static const Names &names = *new Names {
        "script", "style", "xmp", "iframe", "noembed", "noframes", "noscript", "textarea", "title"};
    return names;
}

// Start tags that close an open <p> first.
const Names &closesParagraph()
{
    static const Names &names = *new Names {"address", "article", "aside", "blockquote", "center", "details",
        "dialog", "dir", "div", "dl", "fieldset", "figcaption", "figure", "footer", "header", "hgroup",
        "main", "menu", "nav", "ol", "p", "section", "summary", "ul", "h1", "h2", "h3", "h4", "h5", "h6",
        "pre", "listing", "form", "table", "li", "dd", "dt"};
    return names;
}

// Elements that end the search for an open element of the same name.
const Names &scopeBoundaries()
{
    static const Names &names = *new Names {"html", "table", "td", "th", "caption", "marquee", "object",
        "applet", "template", "svg", "math", "foreignobject"};
    return names;
}

const Names &tableParts()
{
    static const Names &names = *new Names {"table", "tbody", "thead", "tfoot", "tr", "td", "th", "caption"};
    return names;
}

const Names &formattingElements()
{
    static const Names &names = *new Names {
        "a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong", "tt", "u"};
    return names;
}

// The parser's "special" elements: an end tag of an ordinary element is ignored
// when one of these lies between it and the current element.
const Names &specialElements()
{
    static const Names &names = *new Names {"address", "applet", "area", "article", "aside", "base",
        "basefont", "bgsound", "blockquote", "body", "br", "button", "caption", "center", "col", "colgroup",
        "dd", "details", "dir", "div", "dl", "dt", "embed", "fieldset", "figcaption", "figure", "footer",
        "form", "frame", "frameset", "h1", "h2", "h3", "h4", "h5", "h6", "head", "header", "hgroup", "hr",
        "html", "iframe", "img", "input", "li", "link", "listing", "main", "marquee", "meta", "nav",
        "noembed", "noframes", "noscript", "object", "ol", "p", "param", "plaintext", "pre", "script",
        "section", "select", "source", "style", "summary", "table", "tbody", "td", "template", "textarea",
        "tfoot", "th", "thead", "title", "tr", "track", "ul", "wbr", "xmp"};
    return names;
}

bool isAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The stack of open elements as the parser would keep it, roughly.
class OpenElements {
public:
    size_t depth() const { return stack_.size(); }
    void push(std::string name) { stack_.push_back(std::move(name)); }
    bool inForeignContent() const { return foreign_ > 0; }

    // Index of the nearest open element named one of targets, searching from
    // the current element down and giving up at an element of stops; -1 if none.
    long find(std::initializer_list<std::string_view> targets, const Names &stops) const
    {
        for (long i = long(stack_.size()) - 1; i >= 0; --i) {
            for (std::string_view t : targets)
                if (stack_[i] == t)
                    return i;
            if (isOneOf(stops, stack_[i]))
                return -1;
        }
        return -1;
    }
    long find(std::string_view target, const Names &stops) const { return find({target}, stops); }

    // Pops the element at index and everything opened after it.
    void popFrom(long index)
    {
        if (index < 0)
            return;
        while (long(stack_.size()) > index) {
            if (stack_.back() == "svg" || stack_.back() == "math")
                --foreign_;
            stack_.pop_back();
        }
    }
    void removeAt(long index)
    {
        if (stack_[index] == "svg" || stack_[index] == "math")
            --foreign_;
        stack_.erase(stack_.begin() + index);
    }
    bool specialAbove(long index) const
    {
        for (size_t i = size_t(index) + 1; i < stack_.size(); ++i)
            if (isOneOf(specialElements(), stack_[i]))
                return true;
        return false;
    }
    const std::string *current() const { return stack_.empty() ? nullptr : &stack_.back(); }
    void noteForeign(std::string_view name)
    {
        if (name == "svg" || name == "math")
            ++foreign_;
    }

    // The end tag of an element that is not a table part, a block or a
    // formatting element: it closes the nearest element of its name unless a
    // special element stands in between.
    void closeOrdinary(std::string_view name)
    {
        for (long i = long(stack_.size()) - 1; i >= 0; --i) {
            if (stack_[i] == name) {
                popFrom(i);
                return;
            }
            if (isOneOf(specialElements(), stack_[i]))
                return;
        }
    }

private:
    std::vector<std::string> stack_;
    int foreign_ = 0;
};

void startTag(OpenElements &open, const std::string &name, bool selfClosing)
{
    static const Names &noStops = *new Names;
    static const Names &tableStops = *new Names {"table", "html", "template"};
    static const Names &listStops = *new Names {"ul", "ol", "table", "td", "th", "html", "template"};
    static const Names &definitionStops = *new Names {"dl", "table", "td", "th", "html", "template"};

    if (name == "html" || name == "head" || name == "body" || name == "frameset")
        return;
    if (isOneOf(voidElements(), name))
        return;
    if (open.inForeignContent() && selfClosing)
        return;
    if (!open.inForeignContent()) {
        if (isOneOf(closesParagraph(), name))
            open.popFrom(open.find("p", scopeBoundaries()));
        if (name == "li")
            open.popFrom(open.find("li", listStops));
        else if (name == "dd" || name == "dt")
            open.popFrom(open.find({"dd", "dt"}, definitionStops));
        else if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
            const std::string *cur = open.current();
            if (cur && cur->size() == 2 && (*cur)[0] == 'h' && (*cur)[1] >= '1' && (*cur)[1] <= '6')
                open.popFrom(long(open.depth()) - 1);
        } else if (name == "option" || name == "optgroup") {
            const std::string *cur = open.current();
            if (cur && *cur == "option")
                open.popFrom(long(open.depth()) - 1);
        } else if (name == "a" || name == "nobr" || name == "button") {
            open.popFrom(open.find(name, scopeBoundaries()));
        } else if (name == "form") {
            if (open.find("form", noStops) >= 0)
                return;  // a form inside a form is dropped
        } else if (name == "td" || name == "th") {
            const long i = open.find({"td", "th", "tr", "tbody", "thead", "tfoot"}, tableStops);
            if (i >= 0 && open.find({"td", "th"}, tableStops) == i)
                open.popFrom(i);
        } else if (name == "tr") {
            open.popFrom(open.find("tr", tableStops));
        } else if (name == "tbody" || name == "thead" || name == "tfoot") {
            open.popFrom(open.find({"tbody", "thead", "tfoot"}, tableStops));
        } else if (name == "table") {
            const long i = open.find({"table", "td", "th", "caption"}, noStops);
            if (i >= 0 && open.find("table", noStops) == i)
                open.popFrom(i);  // a table directly inside a table ends it
        }
    }
    open.noteForeign(name);
    open.push(name);
}

void endTag(OpenElements &open, const std::string &name)
{
    static const Names &tableStops = *new Names {"html", "template"};
    static const Names &rowStops = *new Names {"table", "html", "template"};
    if (name == "html" || name == "head" || name == "body" || name == "br")
        return;
    if (isOneOf(tableParts(), name)) {
        open.popFrom(open.find(name, name == "table" ? tableStops : rowStops));
    } else if (isOneOf(formattingElements(), name)) {
        const long i = open.find(name, scopeBoundaries());
        if (i < 0)
            return;
        if (open.specialAbove(i))
            open.removeAt(i);  // the parser re-parents what follows; the depth drops by one
        else
            open.popFrom(i);
    } else if (isOneOf(specialElements(), name)) {
        open.popFrom(open.find(name, scopeBoundaries()));
    } else {
        open.closeOrdinary(name);
    }
}

// Position just after the next '>' from i, passing over quoted attribute
// values; the text's size if there is none. selfClosing tells whether "/>"
// ended the tag.
// One past the end of the comment that starts at i ("<!--") as the parser reads
// it: "<!-->" and "<!--->" are whole empty comments, and "--!>" closes one as
// "-->" does; the input's end when nothing closes it. Reading on to the next
// "-->" instead would hide the markup between from the checks below while the
// parser builds it.
qsizetype commentEnd(QByteArrayView html, qsizetype i)
{
    const qsizetype body = i + 4;
    if (html.sliced(body).startsWith(">"))
        return body + 1;
    if (html.sliced(body).startsWith("->"))
        return body + 2;
    for (qsizetype dashes = html.indexOf("--", body); dashes >= 0; dashes = html.indexOf("--", dashes + 1)) {
        const QByteArrayView after = html.sliced(dashes + 2);
        if (after.startsWith(">"))
            return dashes + 3;
        if (after.startsWith("!>"))
            return dashes + 4;
    }
    return html.size();
}

qsizetype skipTag(QByteArrayView html, qsizetype i, bool *selfClosing)
{
    const qsizetype n = html.size();
    char prev = 0;
    while (i < n) {
        const char c = html[i];
        if (c == '>') {
            if (selfClosing)
                *selfClosing = prev == '/';
            return i + 1;
        }
        if ((c == '"' || c == '\'') && prev == '=') {
            const qsizetype close = html.indexOf(c, i + 1);
            if (close < 0)
                return n;
            i = close + 1;
            prev = c;
            continue;
        }
        if (!isSpace(c))
            prev = c;
        ++i;
    }
    return n;
}

// Position just after the end tag "</name" of a raw-text element, or the end.
qsizetype skipRawText(QByteArrayView html, qsizetype i, const std::string &name)
{
    const qsizetype n = html.size();
    for (qsizetype p = html.indexOf("</", i); p >= 0; p = html.indexOf("</", p + 2)) {
        const qsizetype after = p + 2 + qsizetype(name.size());
        if (after > n)
            return n;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k)
            same = lower(html[p + 2 + qsizetype(k)]) == name[k];
        if (same && (after == n || isSpace(html[after]) || html[after] == '/' || html[after] == '>'))
            return skipTag(html, after, nullptr);
    }
    return n;
}

// The end of a tag's attributes from p (just after its name): the position of
// its '>' or the text's size. Adds the attributes to *count and sets *dropFrom to
// where the first one that takes *count past keep begins (unchanged when none).
qsizetype scanAttributes(QByteArrayView html, qsizetype p, int keep, int *count, qsizetype *dropFrom)
{
    const qsizetype n = html.size();
    for (;;) {
        const qsizetype start = p;  // the white space before an attribute goes with it
        while (p < n && (isSpace(html[p]) || html[p] == '/'))
            ++p;
        if (p >= n || html[p] == '>')
            return p;
        const qsizetype nameStart = p;
        p = nameStart + 1;  // the name's first character may be anything, even '='
        while (p < n && !isSpace(html[p]) && html[p] != '/' && html[p] != '>' && html[p] != '=')
            ++p;
        qsizetype q = p;
        while (q < n && isSpace(html[q]))
            ++q;
        if (q < n && html[q] == '=') {
            p = q + 1;
            while (p < n && isSpace(html[p]))
                ++p;
            if (p < n && (html[p] == '"' || html[p] == '\'')) {
                const qsizetype close = html.indexOf(html[p], p + 1);
                p = close < 0 ? n : close + 1;
            } else {
                while (p < n && !isSpace(html[p]) && html[p] != '>')
                    ++p;
            }
        }
        if (++*count > keep && *dropFrom < 0)
            *dropFrom = start;
    }
}

}  // namespace

QByteArray dropExcessAttributes(const QByteArray &html, int maxPerElement)
{
    QByteArray out;
    qsizetype copied = 0;  // html before this is in out (once out is in use)
    int onHtml = 0;  // attributes of every <html> tag so far; the parser merges them
    int onBody = 0;
    const qsizetype n = html.size();
    qsizetype i = html.indexOf('<');
    while (i >= 0 && i + 1 < n) {
        const char next = html[i + 1];
        if (next == '!' && QByteArrayView(html).sliced(i).startsWith("<!--")) {
            i = commentEnd(html, i);
        } else if (next == '!' || next == '?') {
            const qsizetype end = html.indexOf('>', i + 2);
            i = end < 0 ? n : end + 1;
        } else if (isAsciiAlpha(next) || (next == '/' && i + 2 < n && isAsciiAlpha(html[i + 2]))) {
            const bool isEnd = next == '/';
            qsizetype p = isEnd ? i + 2 : i + 1;
            std::string name;
            while (p < n && !isSpace(html[p]) && html[p] != '/' && html[p] != '>')
                name.push_back(lower(html[p++]));
            int fresh = 0;
            int *count = !isEnd && name == "html" ? &onHtml : !isEnd && name == "body" ? &onBody : &fresh;
            qsizetype dropFrom = -1;
            const qsizetype end = scanAttributes(html, p, maxPerElement, count, &dropFrom);
            if (dropFrom >= 0) {
                out.append(QByteArrayView(html).sliced(copied, dropFrom - copied));
                copied = end;
            }
            i = end < n ? end + 1 : n;
            if (!isEnd && isOneOf(rawTextElements(), name))
                i = skipRawText(html, i, name);
            else if (!isEnd && name == "plaintext")
                break;
        } else {
            ++i;
        }
        if (i >= n)
            break;
        i = html.indexOf('<', i);
    }
    if (copied == 0)
        return html;
    out.append(QByteArrayView(html).sliced(copied));
    return out;
}

int estimateNestingDepth(QByteArrayView html, int limit)
{
    OpenElements open;
    int deepest = 0;
    const qsizetype n = html.size();
    qsizetype i = html.indexOf('<');
    while (i >= 0 && i + 1 < n) {
        const char next = html[i + 1];
        if (next == '!') {
            if (html.sliced(i).startsWith("<!--")) {
                i = commentEnd(html, i);
            } else {
                i = skipTag(html, i + 2, nullptr);
            }
        } else if (next == '?') {
            i = skipTag(html, i + 2, nullptr);
        } else if (next == '/' || isAsciiAlpha(next)) {
            const bool isEnd = next == '/';
            qsizetype p = isEnd ? i + 2 : i + 1;
            if (p >= n || !isAsciiAlpha(html[p])) {
                i = skipTag(html, p, nullptr);  // "</>" or "</ ...": a bogus comment
            } else {
                std::string name;
                while (p < n && !isSpace(html[p]) && html[p] != '/' && html[p] != '>')
                    name.push_back(lower(html[p++]));
                bool selfClosing = false;
                i = skipTag(html, p, &selfClosing);
                if (isEnd) {
                    endTag(open, name);
                } else if (name == "plaintext") {
                    break;  // the rest of the page is text
                } else if (!open.inForeignContent() && isOneOf(rawTextElements(), name)) {
                    i = skipRawText(html, i, name);
                } else {
                    startTag(open, name, selfClosing);
                    deepest = std::max(deepest, int(open.depth()));
                    if (deepest > limit)
                        return limit + 1;
                }
            }
        } else {
            ++i;
        }
        if (i >= n)
            break;
        i = html.indexOf('<', i);
    }
    return deepest;
}

}  // namespace marunoki
