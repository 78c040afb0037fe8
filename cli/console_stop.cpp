#include "cli/console_stop.h"

#include <atomic>

namespace {

std::atomic<bool> g_stopRequested{false};

}  // namespace

ConsoleStopHandler_CL::ConsoleStopHandler_CL()
{
    g_stopRequested = false;
    installed_ = SetConsoleCtrlHandler(&ConsoleStopHandler_CL::OnControl, TRUE) != FALSE;
}

ConsoleStopHandler_CL::~ConsoleStopHandler_CL()
{
    if (installed_)
        SetConsoleCtrlHandler(&ConsoleStopHandler_CL::OnControl, FALSE);
}

bool ConsoleStopHandler_CL::StopRequested()
{
    return g_stopRequested.load();
}

BOOL WINAPI ConsoleStopHandler_CL::OnControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;  // closing the console or logging off ends the process as usual
    g_stopRequested = true;
    return TRUE;
}
