#include "app/japanese_qt_texts.h"

#include <cstring>

namespace marunoki {

namespace {

struct QtText {
    const char *context;
    const char *source;
    const char16_t *japanese;
};

// Qt spells the details button with three dots; the print preview's buttons
// carry their text as tool tips.
constexpr QtText kTexts[] = {
    {"QMessageBox", "Show Details...", u"詳細を表示..."},
    {"QMessageBox", "Hide Details...", u"詳細を隠す..."},
    {"QPlatformTheme", "OK", u"OK"},
    {"QPlatformTheme", "Cancel", u"キャンセル"},
    {"QPlatformTheme", "Close", u"閉じる"},
    {"QPlatformTheme", "&Yes", u"はい(&Y)"},
    {"QPlatformTheme", "&No", u"いいえ(&N)"},
    {"QPlatformTheme", "Apply", u"適用"},
    {"QPrintPreviewDialog", "Print Preview", u"印刷プレビュー"},
    {"QPrintPreviewDialog", "Next page", u"次のページ"},
    {"QPrintPreviewDialog", "Previous page", u"前のページ"},
    {"QPrintPreviewDialog", "First page", u"最初のページ"},
    {"QPrintPreviewDialog", "Last page", u"最後のページ"},
    {"QPrintPreviewDialog", "Fit width", u"幅に合わせる"},
    {"QPrintPreviewDialog", "Fit page", u"ページに合わせる"},
    {"QPrintPreviewDialog", "Zoom in", u"拡大"},
    {"QPrintPreviewDialog", "Zoom out", u"縮小"},
    {"QPrintPreviewDialog", "Portrait", u"縦"},
    {"QPrintPreviewDialog", "Landscape", u"横"},
    {"QPrintPreviewDialog", "Show single page", u"1ページずつ表示"},
    {"QPrintPreviewDialog", "Show facing pages", u"見開きで表示"},
    {"QPrintPreviewDialog", "Show overview of all pages", u"全ページを一覧"},
    {"QPrintPreviewDialog", "Print", u"印刷"},
    {"QPrintPreviewDialog", "Page setup", u"ページ設定"},
    {"QPrintPreviewDialog", "Close", u"閉じる"},
    {"QPrintPreviewDialog", "Export to PDF", u"PDF に出力"},
    {"QLineEdit", "&Undo", u"元に戻す(&U)"},
    {"QLineEdit", "&Redo", u"やり直す(&R)"},
    {"QLineEdit", "Cu&t", u"切り取り(&T)"},
    {"QLineEdit", "&Copy", u"コピー(&C)"},
    {"QLineEdit", "&Paste", u"貼り付け(&P)"},
    {"QLineEdit", "Delete", u"削除"},
    {"QLineEdit", "Select All", u"すべて選択"},
};

}  // namespace

QString JapaneseQtTexts::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (context == nullptr || sourceText == nullptr)
        return {};
    for (const QtText &text : kTexts) {
        if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, sourceText) == 0)
            return QString::fromUtf16(text.japanese);
    }
    return {};
}

}  // namespace marunoki
