#pragma once

#include <optional>
#include <string>

// The player reads no command line, and Qt does not read it either. Only the
// two conventions every Linux program keeps are answered, before anything
// touches the display or the single-instance lock: --help prints the usage
// and --version the program's name and version. The first of the two on the
// line decides; every other word is ignored. Returns the text to print on
// standard output, or nothing when the player is to start.
std::optional<std::string> CommandLineAnswer(int argc, const char* const* argv);
