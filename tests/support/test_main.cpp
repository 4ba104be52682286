// Entry point of every test program: GoogleTest's runner, with Windows error
// dialogs turned off so that a fault ends the program instead of waiting for
// a person to click. A change to the machine that a test's stand-ins could
// not make fails that test.
#include "machine_changes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace {

// A fault nobody handles ends the program at once, naming the test it ended:
// Wine would otherwise start its debugger and wait there until ctest's time
// limit, and the program's output would be lost with it.
LONG WINAPI EndOnFault(EXCEPTION_POINTERS* fault) {
    const EXCEPTION_RECORD& record = *fault->ExceptionRecord;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::fflush(stdout);
    std::fprintf(stderr, "\nUnhandled exception 0x%08lX at %p in %s.%s: the program ends.\n",
                 record.ExceptionCode, record.ExceptionAddress, test ? test->test_suite_name() : "",
                 test ? test->name() : "(no test)");
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndOnFault);
    testing::InitGoogleTest(&argc, argv);
    standin::ReportFailuresTo([](const std::wstring& what) { ADD_FAILURE() << what; });
    return RUN_ALL_TESTS();
}
