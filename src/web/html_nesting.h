#pragma once
// Two linear passes over a page before it goes to the HTML parser, each keeping
// one of the parser's quadratic costs away.
//
// Nesting depth.
// The parser's tree building looks through the stack of open elements for many
// tags, so its time grows with the square of the nesting depth: a page of some
// tens of thousands of nested <div> takes minutes. Real pages nest a few dozen
// levels deep; a browser stops nesting at 512. The estimate follows the
// parser's main rules (void elements, raw text, comments, the end tags that close
// the elements opened after their own, and the elements whose end tags may be
// left out: p, li, dt, dd, option, td, th, tr, table sections), so a page with
// omitted end tags is not counted deeper than it parses. It errs on the deep side
// for markup it does not model.

// Attributes. The parser compares each attribute of a tag with every one
// before it (a repeated name is dropped), and adds the attributes of a repeated
// <html> or <body> tag to the element's own the same way: one tag with 80,000
// attributes takes it tens of seconds. No real page has more than a few dozen
// on one element, so attributes beyond kMaxAttributesPerElement are dropped
// before parsing (for <html> and <body>, counted over all their tags).

#include <QByteArray>
#include <QByteArrayView>

namespace marunoki {

// The deepest nesting of elements found in the UTF-8 page text, counting stops
// as soon as it passes limit (the result is then limit + 1). Linear in the text
// for a fixed limit.
int estimateNestingDepth(QByteArrayView html, int limit);

constexpr int kMaxAttributesPerElement = 100;

// The UTF-8 page text with every attribute beyond maxPerElement of a tag removed
// (tag names, the other attributes, text, comments and raw text stay as they
// are); the text itself, unchanged, when no tag has more. Linear in the text.
QByteArray dropExcessAttributes(const QByteArray &html, int maxPerElement = kMaxAttributesPerElement);

}  // namespace marunoki
