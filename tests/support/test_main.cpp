// Entry point of every test program: GoogleTest's runner. A fault ends the
// program at once, naming the test it ended; a change to the machine that a
// test's stand-ins could not make fails that test.
#include "fault_exit.h"
#include "machine_changes.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    standin::EndProgramOnFault([] {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        return test ? std::string(test->test_suite_name()) + "." + test->name() : "(no test)";
    });
    testing::InitGoogleTest(&argc, argv);
    standin::ReportFailuresTo([](const std::wstring& what) { ADD_FAILURE() << what; });
    return RUN_ALL_TESTS();
}
