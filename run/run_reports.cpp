#include "run/run_reports.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "base/file_removal.h"
#include "base/handles.h"
#include "base/paths.h"

namespace {

constexpr wchar_t kReportPattern[] = L"report-*.json";

// The kept reports, oldest first: their names sort by their start times.
std::vector<std::wstring> KeptReports(const std::wstring& dataFolder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileW(ExtendedLengthPath(dataFolder + L"\\" + kReportPattern).c_str(), &found));
    if (!find)
        return names;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            names.push_back(found.cFileName);
    } while (FindNextFileW(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::wstring NewKeptReportPath(const std::wstring& dataFolder)
{
    std::vector<std::wstring> kept = KeptReports(dataFolder);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::wstring name;
    // Names sort by their start times; two runs in one millisecond take the next number.
    for (unsigned millisecond = now.wMilliseconds;; ++millisecond) {
        wchar_t stamp[48];
        std::swprintf(stamp, 48, L"report-%04u%02u%02u-%02u%02u%02u-%03u.json", now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond, millisecond);
        name = stamp;
        if (std::find(kept.begin(), kept.end(), name) == kept.end())
            break;
    }
    // An old report that cannot be removed now is only one more kept: the next run tries again.
    for (std::size_t i = 0; i + kKeptRunReports <= kept.size(); ++i)
        (void)RemoveEntry(dataFolder + L"\\" + kept[i]);
    return dataFolder + L"\\" + name;
}
