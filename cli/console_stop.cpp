#include "cli/console_stop.h"

#include <atomic>

namespace {

std::atomic<bool> g_stopRequested{false};

}  // namespace

ConsoleStopHandler::ConsoleStopHandler()
{
    g_stopRequested = false;
    installed_ = SetConsoleCtrlHandler(&ConsoleStopHandler::OnControl, TRUE) != FALSE;
}

ConsoleStopHandler::~ConsoleStopHandler()
{
    if (installed_)
        SetConsoleCtrlHandler(&ConsoleStopHandler::OnControl, FALSE);
}

bool ConsoleStopHandler::StopRequested()
{
    return g_stopRequested.load();
}

BOOL WINAPI ConsoleStopHandler::OnControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;  // closing the console or logging off ends the process as usual
    g_stopRequested = true;
    return TRUE;
}
