#include "entry/CommandLine.h"

#include <string_view>

#include "app/AppInfo.h"

namespace {

std::string Usage() {
    return "Usage: brelmo [--help | --version]\n"
           "A small skinned playlist player for wave sounds and AVI videos.\n"
           "It reads no other options; see brelmo(1).\n"
           "\n"
           "  --help     print this text and exit\n"
           "  --version  print the version and exit\n";
}

std::string Version() {
    return std::string("brelmo ") + appinfo::kVersion + "\n";
}

}  // namespace

std::optional<std::string> CommandLineAnswer(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help") return Usage();
        if (word == "--version") return Version();
    }
    return std::nullopt;
}
