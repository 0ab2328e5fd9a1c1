// Every test of test_view runs with a QGuiApplication (fonts, painting).

#include "support/gui_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment *const guiEnvironment
    = marunoki::test::registerGuiEnvironment("test_view");

}  // namespace
