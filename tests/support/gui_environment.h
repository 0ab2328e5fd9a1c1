#pragma once
// Fonts, text layout and painting on images need a QGuiApplication. A test
// program that draws registers this environment once (see registerGuiEnvironment):
// the application is made before the first test, on the offscreen platform the
// test run sets, and ended after the last one, so that Qt frees its font caches
// before the leak checker looks.

#include <gtest/gtest.h>

namespace marunoki::test {

// Adds the environment to the test program; returns it for a static initialiser.
::testing::Environment *registerGuiEnvironment(const char *programName);

}  // namespace marunoki::test
