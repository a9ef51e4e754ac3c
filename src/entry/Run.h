#pragma once

#include <functional>

class TForm1;

// The program's entry sequence: the toolkit and the application object with
// the file-name title, the single-instance claim, the title "brelmo", the
// main window with its components (the guard last), the message loop, and
// the finalisation in reverse order. Returns the exit code, 0 for a first and
// a second copy alike. 'started' is told of the main window once it exists.
int RunBrelmo(int argc, char** argv, const std::function<void(TForm1&)>& started = {});
