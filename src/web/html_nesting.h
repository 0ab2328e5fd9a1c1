#pragma once
// A quick estimate of how deeply a page's elements nest, taken before the page
// goes to the HTML parser.
//
// The parser's tree building looks through the stack of open elements for many
// tags, so its time grows with the square of the nesting depth: a page of some
// tens of thousands of nested <div> takes minutes. Real pages nest a few dozen
// levels deep; a browser stops nesting at 512. The estimate follows the
// parser's main rules (void elements, raw text, comments, the end tags that close
// the elements opened after their own, and the elements whose end tags may be
// left out: p, li, dt, dd, option, td, th, tr, table sections), so a page with
// omitted end tags is not counted deeper than it parses. It errs on the deep side
// for markup it does not model.

#include <QByteArrayView>

namespace marunoki {

// The deepest nesting of elements found in the UTF-8 page text, counting stops
// as soon as it passes limit (the result is then limit + 1). Linear in the text
// for a fixed limit.
int estimateNestingDepth(QByteArrayView html, int limit);

}  // namespace marunoki
