#include "fault_exit.h"

#include <windows.h>

#include <cstdio>

namespace standin {

namespace {

// The program's own, set once at its start.
std::function<std::string()> g_doing;

LONG WINAPI EndOnFault(EXCEPTION_POINTERS* fault) {
    const EXCEPTION_RECORD& record = *fault->ExceptionRecord;
    std::fflush(stdout);
    std::fprintf(stderr, "\nUnhandled exception 0x%08lX at %p in %s: the program ends.\n",
                 record.ExceptionCode, record.ExceptionAddress,
                 g_doing ? g_doing().c_str() : "the program");
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void EndProgramOnFault(std::function<std::string()> doing) {
    g_doing = std::move(doing);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndOnFault);
}

} // namespace standin
