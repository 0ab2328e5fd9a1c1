// Every test of test_cli runs with a QGuiApplication: the views are drawn into
// pictures, PDF and SVG files in this process too.

#include "support/gui_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment *const guiEnvironment
    = marunoki::test::registerGuiEnvironment("test_cli");

}  // namespace
