#include "app/window_placement.h"

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
    settings.SetStruct(section, key, values, sizeof values);
    return true;
}

RECT LoadWindowRect(const SettingsStore& settings, const wchar_t* section, const wchar_t* key, const RECT& defaultRect)
{
    std::int32_t values[4] = {};
    if (!settings.GetStruct(section, key, values, sizeof values))
        return defaultRect;
    const RECT stored{values[0], values[1], values[2], values[3]};
    return CornerOnSomeMonitor(stored) ? stored : defaultRect;
}
