#include "support/gui_environment.h"

#include <QGuiApplication>

#include <memory>

namespace marunoki::test {

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    explicit GuiEnvironment(const char *programName)
        : name_(programName)
    { }

    void SetUp() override
    {
        if (QGuiApplication::instance() == nullptr) {
            app_ = std::make_unique<QGuiApplication>(argc_, argv_);
        }
    }
    void TearDown() override { app_.reset(); }

private:
    std::string name_;
    int argc_ = 1;
    char *argv_[2] = {name_.data(), nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace

::testing::Environment *registerGuiEnvironment(const char *programName)
{
    return ::testing::AddGlobalTestEnvironment(new GuiEnvironment(programName));
}

}  // namespace marunoki::test
