#include "organize/date_folder_format.h"

#include <cwchar>


namespace {

struct DateFolderFormat {
    const wchar_t* label;
    const wchar_t* pattern;  // takes year, month and day; patterns use the first one, two or three
    bool shortYear;          // the year modulo 100
};

constexpr DateFolderFormat kFormats[kDateFolderFormatCount] = {
    {L"YYYY", L"%04d", false},
    {L"YYYYMM", L"%04d%02d", false},
    {L"YYYYMMDD", L"%04d%02d%02d", false},
    {L"YYYY-MM", L"%04d-%02d", false},
    {L"YYYY-MM-DD", L"%04d-%02d-%02d", false},
    {L"YYYY_MM", L"%04d_%02d", false},
    {L"YYYY_MM_DD", L"%04d_%02d_%02d", false},
    {L"YYYY/MM", L"%04d\\%02d", false},
    {L"YYYY/MM/DD", L"%04d\\%02d\\%02d", false},
    {L"YYYY年", L"%04d年", false},
    {L"YYYY年MM月", L"%04d年%02d月", false},
    {L"YYYY年MM月DD日", L"%04d年%02d月%02d日", false},
    {L"YYYY年/MM月", L"%04d年\\%02d月", false},
    {L"YYYY年/MM月/DD日", L"%04d年\\%02d月\\%02d日", false},
    {L"YY", L"%02d", true},
    {L"YYMM", L"%02d%02d", true},
    {L"YYMMDD", L"%02d%02d%02d", true},
    {L"YY-MM", L"%02d-%02d", true},
    {L"YY-MM-DD", L"%02d-%02d-%02d", true},
    {L"YY_MM", L"%02d_%02d", true},
    {L"YY_MM_DD", L"%02d_%02d_%02d", true},
    {L"YY/MM", L"%02d\\%02d", true},
    {L"YY/MM/DD", L"%02d\\%02d\\%02d", true},
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
    wchar_t name[MAX_PATH];
    // Extra arguments beyond the pattern's fields are ignored by the formatter.
    const int length = _snwprintf(name, MAX_PATH, format.pattern, year, int{date.wMonth}, int{date.wDay});
    if (length < 0 || length >= MAX_PATH)
        return std::wstring();  // cannot happen: three 16-bit numbers and a few letters
    return std::wstring(name, static_cast<size_t>(length));
}
