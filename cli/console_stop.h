#pragma once
// Ctrl+C and Ctrl+Break on the console ask a run to stop after the file it is at, instead of
// ending the process with a copy half-made and the record unsaved.

#include <windows.h>

class ConsoleStopHandler {
public:
    // From now until destruction, Ctrl+C and Ctrl+Break are taken as a stop request.
    ConsoleStopHandler();
    ~ConsoleStopHandler();
    ConsoleStopHandler(const ConsoleStopHandler&) = delete;
    ConsoleStopHandler& operator=(const ConsoleStopHandler&) = delete;

    static bool StopRequested();

private:
    static BOOL WINAPI OnControl(DWORD event);
    bool installed_;
};
