#pragma once
// The process's resident high-water mark, for the benchmarks that compare the
// peak memory of a small and a large run.

#include <fstream>
#include <string>

namespace marunoki::bench {

// The resident high-water mark in kB, after resetting it when asked (Linux).
inline long peakKb(bool reset)
{
    if (reset) {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
    }
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace marunoki::bench
