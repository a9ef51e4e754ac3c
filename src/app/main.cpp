#include "app/Run.h"

int main(int argc, char** argv) { return RunBrelmo(argc, argv); }
