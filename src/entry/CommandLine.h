#pragma once

#include <QByteArray>
#include <QList>
#include <optional>
#include <string>

// Qt does not read the command line. The two conventions every Linux program
// keeps are answered before anything touches the display or the
// single-instance lock: --help prints the usage and --version the program's
// name and version. The first of the two on the line decides. Returns the
// text to print on standard output, or nothing when the player is to start.
std::optional<std::string> CommandLineAnswer(int argc, const char* const* argv);

// The files named on the command line (every word that is not an option,
// and every word after "--"), in their order, as they were given: the
// player opens them as if they were dropped on it. Other options are ignored.
QList<QByteArray> CommandLineFiles(int argc, const char* const* argv);
