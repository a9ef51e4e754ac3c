#include "entry/Run.h"

int main(int argc, char** argv) {
    return RunBrelmo(argc, argv);
}
