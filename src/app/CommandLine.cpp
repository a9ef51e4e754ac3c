#include "app/CommandLine.h"

#include <string_view>

#include "app/AppInfo.h"

namespace {

std::string Usage() {
    return "Usage: brelmo [--help | --version | FILE...]\n"
           "A small skinned playlist player for wave sounds and AVI videos.\n"
           "FILEs (.wav and .avi, at most 20) become the playlist and the first plays;\n"
           "when the player runs already, it takes them instead. See brelmo(1).\n"
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
        if (word == "--") break;
        if (word == "--help") return Usage();
        if (word == "--version") return Version();
    }
    return std::nullopt;
}

QList<QByteArray> CommandLineFiles(int argc, const char* const* argv) {
    QList<QByteArray> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray word(argv[i]);
        if (!optionsEnded && word == "--")
            optionsEnded = true;
        else if (optionsEnded || (!word.startsWith('-') && !word.isEmpty()))
            files.append(word);
    }
    return files;
}
