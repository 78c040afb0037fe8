#include "tests/support/test_process.h"

#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* pointers)
{
    // Nothing that may allocate: the heap may be what broke.
    char text[160];
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    const int length = std::snprintf(text, sizeof text, "test process crashed: exception 0x%08lX at %p\n",
                                     static_cast<unsigned long>(record->ExceptionCode), record->ExceptionAddress);
    DWORD written = 0;
    if (length > 0)
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(length), &written, nullptr);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void PrepareTestProcess()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&ReportCrash);
}
