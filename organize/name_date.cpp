#include "organize/name_date.h"

#include "base/path_text.h"

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// How many digits follow from `at` on.
std::size_t DigitsAt(const std::wstring& text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    return end - at;
}

int NumberAt(const std::wstring& text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i)
        value = value * 10 + (text[i] - L'0');
    return value;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsCalendarDate(int year, int month, int day)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    return day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsDateSeparator(wchar_t c)
{
    return c == L'-' || c == L'_' || c == L'.';
}

// The date that starts at `at`, where a run of digits starts: eight digits alone, or four,
// two and two joined by one separator. The position after it; 0 when there is none.
std::size_t ReadDate(const std::wstring& text, std::size_t at, NameDate* date)
{
    const std::size_t digits = DigitsAt(text, at);
    if (digits == 8) {
        *date = NameDate{NumberAt(text, at, 4), NumberAt(text, at + 4, 2), NumberAt(text, at + 6, 2)};
        return at + 8;
    }
    const std::size_t end = at + 10;
    if (digits != 4 || end > text.size() || !IsDateSeparator(text[at + 4]) || text[at + 7] != text[at + 4] ||
        DigitsAt(text, at + 5) != 2 || DigitsAt(text, at + 8) != 2 || DigitsAt(text, end) != 0)
        return 0;
    *date = NameDate{NumberAt(text, at, 4), NumberAt(text, at + 5, 2), NumberAt(text, at + 8, 2)};
    return end;
}

// The time that follows a date at `at`, when one does: a separator or a space, then six
// digits (a phone may add its milliseconds, up to three more) or hours, minutes and seconds
// joined by one separator. A time that is no time of day leaves the date alone.
void ReadTime(const std::wstring& text, std::size_t at, NameDate* date)
{
    if (at >= text.size() || !(IsDateSeparator(text[at]) || text[at] == L' ' || text[at] == L'T'))
        return;
    const std::size_t start = at + 1;
    const std::size_t digits = DigitsAt(text, start);
    int hour = 0, minute = 0, second = 0;
    if (digits >= 6 && digits <= 9) {
        hour = NumberAt(text, start, 2);
        minute = NumberAt(text, start + 2, 2);
        second = NumberAt(text, start + 4, 2);
    } else if (digits == 2 && start + 8 <= text.size() && IsDateSeparator(text[start + 2]) &&
               text[start + 5] == text[start + 2] && DigitsAt(text, start + 3) == 2 &&
               DigitsAt(text, start + 6) == 2 && DigitsAt(text, start + 8) == 0) {
        hour = NumberAt(text, start, 2);
        minute = NumberAt(text, start + 3, 2);
        second = NumberAt(text, start + 6, 2);
    } else {
        return;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return;
    date->hour = hour;
    date->minute = minute;
    date->second = second;
    date->hasTime = true;
}

}  // namespace

std::optional<NameDate> DateInFileName(const std::wstring& name, int firstYear, int lastYear)
{
    const std::wstring stem = name.substr(0, name.size() - ExtensionOf(name).size());
    for (std::size_t at = 0; at < stem.size(); at += DigitsAt(stem, at) + 1) {
        if (!IsDigit(stem[at]))
            continue;
        NameDate date;
        const std::size_t end = ReadDate(stem, at, &date);
        if (end == 0 || date.year < firstYear || date.year > lastYear || !IsCalendarDate(date.year, date.month, date.day))
            continue;
        ReadTime(stem, end, &date);
        // A Pixel phone names its pictures by the time in UTC.
        date.utc = LowerAscii(stem.substr(0, 4)) == L"pxl_";
        return date;
    }
    return std::nullopt;
}
