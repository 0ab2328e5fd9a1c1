// Every test of test_window runs with a QGuiApplication: the views are drawn
// into pictures with the fonts of the platform.

#include "support/gui_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment *const guiEnvironment
    = marunoki::test::registerGuiEnvironment("test_window");

}  // namespace
