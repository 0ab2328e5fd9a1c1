// Fonts, text layout and painting on images need a QGuiApplication. Every test of
// test_view runs with one, made before the first test (on the offscreen platform
// the test run sets) and ended after the last.

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (QGuiApplication::instance() == nullptr) {
            app_ = std::make_unique<QGuiApplication>(argc_, argv_);
        }
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[10] = "test_view";
    char *argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] ::testing::Environment *const guiEnvironment
    = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
