// Entry point of every test program: GoogleTest's runner, with Windows error
// dialogs turned off so that a fault ends the program instead of waiting for
// a person to click.
#include <gtest/gtest.h>

#include <windows.h>

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
