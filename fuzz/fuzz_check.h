#pragma once
// A property check inside a fuzz target: a broken promise ends the run like a
// crash, so libFuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

namespace marunoki::fuzz {

inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

}  // namespace marunoki::fuzz
