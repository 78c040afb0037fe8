#include "app/window_placement.h"

#include <algorithm>
#include <cstdint>

#include "ui/monitor_list.h"

namespace {

bool CornerOnSomeMonitor(const RECT& rect)
{
    MonitorList screens;
    screens.Enumerate();
    return screens.FindMonitor(POINT{rect.left, rect.top}) >= 0;
}

}  // namespace

bool SaveWindowRect(const SettingsStore& settings, HWND window, const wchar_t* section, const wchar_t* key)
{
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return false;
    if (IsIconic(window) || IsZoomed(window))
        return false;
    if (!CornerOnSomeMonitor(rect))
        return false;
    const std::int32_t values[4] = {rect.left, rect.top, rect.right, rect.bottom};
    return settings.SetStruct(section, key, values, sizeof values);
}

RECT FitIntoWorkArea(const RECT& rect, const RECT& work)
{
    const LONG width = std::min(rect.right - rect.left, work.right - work.left);
    const LONG height = std::min(rect.bottom - rect.top, work.bottom - work.top);
    const LONG left = std::clamp(rect.left, work.left, work.right - width);
    const LONG top = std::clamp(rect.top, work.top, work.bottom - height);
    return RECT{left, top, left + width, top + height};
}

RECT LoadWindowRect(const SettingsStore& settings, const wchar_t* section, const wchar_t* key, const RECT& defaultRect)
{
    std::int32_t values[4] = {};
    if (!settings.GetStruct(section, key, values, sizeof values))
        return defaultRect;
    const RECT stored{values[0], values[1], values[2], values[3]};
    if (stored.right <= stored.left || stored.bottom <= stored.top)
        return defaultRect;
    // On the monitor it was on, or the nearest one when that is gone; whole, either way.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &monitor))
        return defaultRect;
    return FitIntoWorkArea(stored, monitor.rcWork);
}
