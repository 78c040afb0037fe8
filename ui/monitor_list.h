#pragma once
// The attached monitors, for placing windows where the user can see them.

#include <windows.h>

#include <vector>

class MonitorList {
public:
    struct Monitor {
        HMONITOR handle = nullptr;
        MONITORINFO info{};  // monitor rectangle, work area, flags
    };

    // Lists the monitors in enumeration order; the one flagged primary is also kept apart.
    void Enumerate();
    // The index of the first monitor whose work area holds the point, or -1.
    int FindMonitor(POINT point) const;

    const std::vector<Monitor>& All() const { return monitors_; }
    const Monitor& Primary() const { return primary_; }

private:
    static BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM self);

    Monitor primary_;
    std::vector<Monitor> monitors_;
};
