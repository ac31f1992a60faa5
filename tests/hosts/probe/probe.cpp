// A C++ host with the standard library (strings, containers, exceptions),
// for the toolchains that link a C++ runtime (x64, x86): it must need no
// DLL of that runtime beside it.
#include <flatplay/flatplay.h>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

int main() {
    std::vector<std::string> words{"probe++:", "the", "standard", "library"};
    try {
        if (GetLibraryVersion() == FLATPLAY_VERSION) throw std::runtime_error("and exceptions");
    } catch (const std::exception &e) {
        words.push_back(e.what());
    }
    std::string line;
    for (const std::string &word : words) line += (line.empty() ? "" : " ") + word;
    std::printf("%s\n", line.c_str());
    return 0;
}
