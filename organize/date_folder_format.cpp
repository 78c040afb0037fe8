#include "organize/date_folder_format.h"

#include <cwchar>
#include <iterator>

#include "organize/organize_limits.h"

namespace {

// Which date field the three sample folders of a layout's preview step through.
enum class PreviewStep { kYear, kMonth, kDay };

struct DateFolderFormat {
    const wchar_t* label;
    const wchar_t* pattern;  // takes year, month and day; patterns use the first one, two or three
    bool shortYear;          // the year modulo 100
    PreviewStep preview;
};

constexpr PreviewStep Y = PreviewStep::kYear, M = PreviewStep::kMonth, D = PreviewStep::kDay;

constexpr DateFolderFormat kFormats[kDateFolderFormatCount] = {
    {L"YYYY", L"%04d", false, Y},
    {L"YYYYMM", L"%04d%02d", false, M},
    {L"YYYYMMDD", L"%04d%02d%02d", false, M},
    {L"YYYY-MM", L"%04d-%02d", false, M},
    {L"YYYY-MM-DD", L"%04d-%02d-%02d", false, M},
    {L"YYYY_MM", L"%04d_%02d", false, M},
    {L"YYYY_MM_DD", L"%04d_%02d_%02d", false, M},
    {L"YYYY/MM", L"%04d\\%02d", false, M},
    {L"YYYY/MM/DD", L"%04d\\%02d\\%02d", false, D},
    {L"YYYY年", L"%04d年", false, Y},
    {L"YYYY年MM月", L"%04d年%02d月", false, M},
    {L"YYYY年MM月DD日", L"%04d年%02d月%02d日", false, D},
    {L"YYYY年/MM月", L"%04d年\\%02d月", false, M},
    {L"YYYY年/MM月/DD日", L"%04d年\\%02d月\\%02d日", false, D},
    {L"YY", L"%02d", true, Y},
    {L"YYMM", L"%02d%02d", true, M},
    {L"YYMMDD", L"%02d%02d%02d", true, M},
    {L"YY-MM", L"%02d-%02d", true, M},
    {L"YY-MM-DD", L"%02d-%02d-%02d", true, M},
    {L"YY_MM", L"%02d_%02d", true, M},
    {L"YY_MM_DD", L"%02d_%02d_%02d", true, M},
    {L"YY/MM", L"%02d\\%02d", true, M},
    {L"YY/MM/DD", L"%02d\\%02d\\%02d", true, D},
};

const DateFolderFormat& FormatAt(int formatIndex)
{
    const bool known = formatIndex >= 0 && formatIndex < kDateFolderFormatCount;
    return kFormats[known ? formatIndex : kDefaultDateFolderFormat];
}

}  // namespace

const wchar_t* DateFolderFormatLabel(int formatIndex)
{
    return FormatAt(formatIndex).label;
}

std::wstring MakeDateFolderName(const SYSTEMTIME& date, int formatIndex)
{
    const DateFolderFormat& format = FormatAt(formatIndex);
    const int year = format.shortYear ? date.wYear % 100 : date.wYear;
    wchar_t name[organize_limits::kMaxDateFolderChars + 1];
    // Extra arguments beyond the pattern's fields are ignored by the formatter.
    const int length = _snwprintf(name, std::size(name), format.pattern, year, int{date.wMonth}, int{date.wDay});
    if (length < 0 || length >= static_cast<int>(std::size(name)))
        return std::wstring();  // cannot happen: three 16-bit numbers and a few letters
    return std::wstring(name, static_cast<size_t>(length));
}

std::vector<std::wstring> PreviewFolderNames(int formatIndex, int year)
{
    const PreviewStep step = FormatAt(formatIndex).preview;
    std::vector<std::wstring> names;
    for (WORD n = 0; n < 3; ++n) {
        SYSTEMTIME date{static_cast<WORD>(year), 1, 0, 1, 0, 0, 0, 0};
        if (step == PreviewStep::kYear)
            date.wYear = static_cast<WORD>(date.wYear + n);
        else if (step == PreviewStep::kMonth)
            date.wMonth = static_cast<WORD>(1 + n);
        else
            date.wDay = static_cast<WORD>(1 + n);
        names.push_back(MakeDateFolderName(date, formatIndex));
    }
    return names;
}
