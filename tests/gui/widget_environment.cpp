// Every test of test_gui runs with a QApplication on the offscreen platform,
// Qt's own texts in Japanese as in the program.

#include "app/japanese_qt_texts.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class WidgetEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static char name[] = "test_gui";
        static char *argv[] = {name, nullptr};
        static int argc = 1;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Marunoki"));
        // Qt's own texts in Japanese, as the program installs them.
        QApplication::installTranslator(&texts_);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
    marunoki::JapaneseQtTexts texts_;
};

[[maybe_unused]] ::testing::Environment *const environment
    = ::testing::AddGlobalTestEnvironment(new WidgetEnvironment);

}  // namespace
