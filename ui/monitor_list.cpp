#include "ui/monitor_list.h"

#include "ui/callback_barrier.h"

void MonitorList::Enumerate()
{
    monitors_.clear();
    primary_ = Monitor{};
    EnumDisplayMonitors(nullptr, nullptr, &MonitorList::AddMonitor,
                        reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK MonitorList::AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM self)
{
    auto* screens = reinterpret_cast<MonitorList*>(self);
    Monitor record;
    record.handle = monitor;
    record.info.cbSize = sizeof record.info;
    if (!GetMonitorInfoW(monitor, &record.info))
        return TRUE;
    // Out of memory ends the enumeration with the monitors listed so far. "MultiScreen_CL"
    // names a class long gone: a text the log keeps as it was.
    return CallbackBarrier(L"MultiScreen_CL", FALSE, [&] {
        screens->monitors_.push_back(record);
        if (record.info.dwFlags & MONITORINFOF_PRIMARY)
            screens->primary_ = record;
        return TRUE;
    });
}

int MonitorList::FindMonitor(POINT point) const
{
    for (size_t i = 0; i < monitors_.size(); ++i) {
        const RECT& work = monitors_[i].info.rcWork;
        if (work.left <= point.x && point.x < work.right && work.top <= point.y &&
            point.y < work.bottom)
            return static_cast<int>(i);
    }
    return -1;
}
