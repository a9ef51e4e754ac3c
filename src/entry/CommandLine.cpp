#include "entry/CommandLine.h"

#include <algorithm>
#include <iterator>
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

// The toolkit's options that take the next word as their value; they are
// ignored with it, so that "-style fusion" names no file "fusion".
bool TakesAValue(std::string_view option) {
    static constexpr std::string_view kOptions[] = {
        "-platform",    "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
        "-qwindowicon", "-qwindowtitle",       "-session",       "-style",  "-stylesheet",
        "-display",     "-geometry",           "-name",          "-title",  "-visual"};
    return std::find(std::begin(kOptions), std::end(kOptions), option) != std::end(kOptions);
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
        const std::string_view word = argv[i];
        if (optionsEnded || (!word.empty() && word[0] != '-'))
            files.append(QByteArray(argv[i]));
        else if (word == "--")
            optionsEnded = true;
        else if (TakesAValue(word))
            ++i;
    }
    return files;
}
