#include <gtest/gtest.h>

#include "toolkit/Application.h"

// Every suite runs with a real Qt application (offscreen unless told
// otherwise) and the program's application object.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    TQtHost host(argc, argv);
    TApplication application;
    return RUN_ALL_TESTS();
}
