// Every test of test_output runs with a QGuiApplication (fonts, printing to PDF).

#include "support/gui_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment *const guiEnvironment
    = marunoki::test::registerGuiEnvironment("test_output");

}  // namespace
