#pragma once
// The texts Qt's own dialogs show (the message box's details button, the print
// preview's tool buttons, the standard buttons, a text box's context menu) in
// Japanese, whatever the desktop's language and whether or not Qt's translation
// files are installed: the program speaks Japanese throughout.

#include <QTranslator>

namespace marunoki {

class JapaneseQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    // The Japanese for Qt's text `source` of class `context`; an empty string
    // for a text not in the table (Qt then asks the next translator).
    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
        int n = -1) const override;
    bool isEmpty() const override { return false; }
};

}  // namespace marunoki
