// Every test of test_gui runs with a QApplication on the offscreen platform.

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
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment *const environment
    = ::testing::AddGlobalTestEnvironment(new WidgetEnvironment);

}  // namespace
