#include "organize/capture_date.h"

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "base/log_file.h"
#include "base/path_text.h"
#include "metadata/heif_exif_locator.h"
#include "metadata/movie_time_reader.h"
#include "organize/name_date.h"

namespace {

bool DateFieldsInRange(const SYSTEMTIME& date)
{
    return date.wMonth >= 1 && date.wMonth <= 12 && date.wDay >= 1 && date.wDay <= 31 &&
           date.wHour <= 23 && date.wMinute <= 59 && date.wSecond <= 59;
}

bool DateAndMillisecondsInRange(const SYSTEMTIME& date)
{
    return DateFieldsInRange(date) && date.wMilliseconds <= 999;
}

void LogExifDateError(const SYSTEMTIME& date, const std::wstring& path)
{
    g_Log.Write(L"Exif撮影日時エラーの為ファイルの更新日付から取得する = %s, %s",
                CaptureDateLogText(date).c_str(), path.c_str());
}

// Seconds since 1970 as a local calendar date-time; false when the runtime cannot convert
// them. inRange: whether the fields it gave are a time of day on a day of a month.
bool LocalDateOf(std::int64_t seconds, SYSTEMTIME* date, bool* inRange)
{
    const auto time = static_cast<std::time_t>(seconds);
    // The runtime keeps localtime's result per thread; it is copied at once.
    const std::tm* converted = std::localtime(&time);
    if (!converted)
        return false;
    const std::tm local = *converted;
    *date = SYSTEMTIME{};
    date->wYear = static_cast<WORD>(local.tm_year + 1900);
    date->wMonth = static_cast<WORD>(local.tm_mon + 1);
    date->wDay = static_cast<WORD>(local.tm_mday);
    date->wHour = static_cast<WORD>(local.tm_hour);
    date->wMinute = static_cast<WORD>(local.tm_min);
    date->wSecond = static_cast<WORD>(local.tm_sec);
    *inRange = local.tm_mon <= 11 && local.tm_mday >= 1 && local.tm_mday <= 31 && local.tm_hour <= 23 &&
               local.tm_min <= 59 && local.tm_sec <= 59;
    return true;
}

// The capture time of a HEIF file's Exif item (DateTimeOriginal, else DateTime), as a
// local calendar date-time.
bool HeifRoute(const std::wstring& path, const ImageFacts& facts, SYSTEMTIME* date)
{
    bool inRange = false;
    if (!facts.captureTime || !LocalDateOf(*facts.captureTime, date, &inRange))
        return false;
    if (!inRange)
        LogExifDateError(*date, path);
    return inRange;
}

// The filming time a movie keeps in its header, in local time as the Exif route's dates are;
// a zero or implausible one (before 1990, after tomorrow) is none.
bool MovieRoute(const ImageFacts& facts, SYSTEMTIME* date)
{
    if (!facts.movieCreated)
        return false;
    const std::optional<std::int64_t> filmed = PlausibleMovieTime(*facts.movieCreated, std::time(nullptr));
    bool inRange = false;
    return filmed && LocalDateOf(*filmed, date, &inRange) && inRange;
}

// The Exif DateTimeOriginal of a picture, parsed as "%04d:%02d:%02d %02d:%02d:%02d"; true
// with a date that passed range test A (the last-write route follows otherwise).
bool ExifRoute(const std::wstring& path, const ImageFacts& facts, SYSTEMTIME* date)
{
    if (!facts.dateTimeOriginal)
        return false;
    int values[6] = {};
    const int filled = std::sscanf(facts.dateTimeOriginal->c_str(), "%04d:%02d:%02d %02d:%02d:%02d", &values[0],
                                   &values[1], &values[2], &values[3], &values[4], &values[5]);
    *date = SYSTEMTIME{};
    date->wYear = static_cast<WORD>(values[0]);
    date->wMonth = static_cast<WORD>(values[1]);
    date->wDay = static_cast<WORD>(values[2]);
    date->wHour = static_cast<WORD>(values[3]);
    date->wMinute = static_cast<WORD>(values[4]);
    date->wSecond = static_cast<WORD>(values[5]);
    // A field the pattern did not fill is invalid.
    if (filled == 6 && DateFieldsInRange(*date))
        return true;
    LogExifDateError(*date, path);
    return false;
}

// The time a photo export's sidecar gives the picture (UTC), as a local calendar date-time.
bool SidecarRoute(const std::wstring& path, TakeoutSidecars& sidecars, SYSTEMTIME* date)
{
    const std::optional<std::int64_t> taken = sidecars.TakenTime(path);
    bool inRange = false;
    return taken && LocalDateOf(*taken, date, &inRange) && inRange;
}

// A file's name is the last word on its day only when its last-write time does not
// contradict it: a day's grace for the time zones between the app that named it and here.
constexpr std::uint64_t kNameDateGrace = 24ull * 60 * 60 * 10'000'000;  // in 100 ns

std::uint64_t Ticks(const FILETIME& time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// The date the file's name carries, as a local calendar date-time: a real date from 1990 to
// next year that is no later than the file's last write.
bool NameRoute(const std::wstring& path, const FILETIME* lastWrite, SYSTEMTIME* date)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::optional<NameDate> named = DateInFileName(NameOfPath(path), 1990, now.wYear + 1);
    if (!named)
        return false;
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(named->year);
    fields.wMonth = static_cast<WORD>(named->month);
    fields.wDay = static_cast<WORD>(named->day);
    fields.wHour = static_cast<WORD>(named->hour);
    fields.wMinute = static_cast<WORD>(named->minute);
    fields.wSecond = static_cast<WORD>(named->second);
    FILETIME local{};
    if (!SystemTimeToFileTime(&fields, &local))
        return false;
    if (named->utc) {
        const FILETIME utc = local;
        if (!FileTimeToLocalFileTime(&utc, &local))
            return false;
    }
    FILETIME lastWriteLocal{};
    if (lastWrite && FileTimeToLocalFileTime(lastWrite, &lastWriteLocal) &&
        Ticks(local) > Ticks(lastWriteLocal) + kNameDateGrace)
        return false;
    return FileTimeToSystemTime(&local, date) != FALSE;
}

}  // namespace

bool LocalDateOfFileTime(const FILETIME& utc, SYSTEMTIME* date)
{
    FILETIME local{};
    return FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, date);
}

std::wstring CaptureDateLogText(const SYSTEMTIME& date)
{
    wchar_t text[64];
    _snwprintf(text, 64, L"%04d/%02d/%02d:%02d:%02d:%02d.%03d", date.wYear, date.wMonth, date.wDay,
               date.wHour, date.wMinute, date.wSecond, date.wMilliseconds);
    text[63] = L'\0';
    return text;
}

CaptureDateSource CaptureDateFromFacts(const std::wstring& path, const ImageFacts* facts, const FILETIME* lastWrite,
                                       SYSTEMTIME* date, const CaptureDateRules& rules, TakeoutSidecars* sidecars)
{
    CaptureDateSource source = CaptureDateSource::kNone;
    // A file named as HEIF answers from its own Exif item; a picture from its Exif block (a
    // file of the HEIF family that is not named so is only recognised, never walked).
    if (facts && IsHeifExtension(path) && facts->format == ImageFormat::kHeif && HeifRoute(path, *facts, date))
        source = CaptureDateSource::kHeif;
    else if (facts && facts->format == ImageFormat::kMovie && rules.movieDateFromFile && MovieRoute(*facts, date))
        source = CaptureDateSource::kMovie;
    else if (facts && facts->format != ImageFormat::kHeif && ExifRoute(path, *facts, date))
        source = CaptureDateSource::kExif;
    else if (rules.dateFromName && sidecars && SidecarRoute(path, *sidecars, date))
        source = CaptureDateSource::kTakeout;
    else if (rules.dateFromName && NameRoute(path, lastWrite, date))
        source = CaptureDateSource::kName;
    else if (lastWrite && LocalDateOfFileTime(*lastWrite, date))
        source = CaptureDateSource::kLastWrite;
    else
        return CaptureDateSource::kNone;
    if (!DateAndMillisecondsInRange(*date)) {
        g_Log.Write(L"撮影日時エラーの為除外 = %s, %s", CaptureDateLogText(*date).c_str(), path.c_str());
        return CaptureDateSource::kNone;
    }
    return source;
}
