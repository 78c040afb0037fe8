#include "organize/capture_date.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "base/logfile.h"
#include "metadata/exif_info.h"
#include "metadata/heif_exif_reader.h"
#include "metadata/image_facts.h"
#include "base/handles.h"

namespace {

bool PassesRangeTestA(const SYSTEMTIME& date)
{
    return date.wMonth >= 1 && date.wMonth <= 12 && date.wDay >= 1 && date.wDay <= 31 &&
           date.wHour <= 23 && date.wMinute <= 59 && date.wSecond <= 59;
}

bool PassesRangeTestB(const SYSTEMTIME& date)
{
    return PassesRangeTestA(date) && date.wMilliseconds <= 999;
}

void LogExifDateError(const SYSTEMTIME& date, const std::wstring& path)
{
    g_Log.Write(L"Exif撮影日時エラーの為ファイルの更新日付から取得する = %s, %s",
                CaptureDateLogText(date).c_str(), path.c_str());
}

// The Exif DateTimeOriginal of a picture, parsed as "%04d:%02d:%02d %02d:%02d:%02d".
// kExif with a date that passed range test A; kNone otherwise (the last-write route
// follows).
CaptureDateSource ExifRoute(const std::wstring& path, SYSTEMTIME* date)
{
    // HEIF files have a route of their own: here they are only recognised, never walked.
    ImageFacts facts;
    std::string error;
    if (!ReadImageFacts(path, &facts, &error, false) || !facts.dateTimeOriginal)
        return CaptureDateSource::kNone;
    const std::string& text = *facts.dateTimeOriginal;
    int values[6] = {};
    const int filled = std::sscanf(text.c_str(), "%04d:%02d:%02d %02d:%02d:%02d", &values[0],
                                   &values[1], &values[2], &values[3], &values[4], &values[5]);
    *date = SYSTEMTIME{};
    date->wYear = static_cast<WORD>(values[0]);
    date->wMonth = static_cast<WORD>(values[1]);
    date->wDay = static_cast<WORD>(values[2]);
    date->wHour = static_cast<WORD>(values[3]);
    date->wMinute = static_cast<WORD>(values[4]);
    date->wSecond = static_cast<WORD>(values[5]);
    // A field the pattern did not fill is invalid.
    if (filled == 6 && PassesRangeTestA(*date))
        return CaptureDateSource::kExif;
    LogExifDateError(*date, path);
    return CaptureDateSource::kNone;
}

}  // namespace

bool GetLastWriteDate(const std::wstring& path, SYSTEMTIME* date)
{
    UniqueFile_CL file(CreateFileW(path.c_str(), 0, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME created{}, accessed{}, written{}, local{};
    return file && GetFileTime(file.get(), &created, &accessed, &written) &&
           FileTimeToLocalFileTime(&written, &local) && FileTimeToSystemTime(&local, date);
}

std::wstring CaptureDateLogText(const SYSTEMTIME& date)
{
    wchar_t text[64];
    _snwprintf(text, 64, L"%04d/%02d/%02d:%02d:%02d:%02d.%03d", date.wYear, date.wMonth, date.wDay,
               date.wHour, date.wMinute, date.wSecond, date.wMilliseconds);
    text[63] = L'\0';
    return text;
}

bool GetHeifCaptureDate(const std::wstring& path, SYSTEMTIME* date)
{
    if (!IsHeifExtension(path))
        return false;
    CHeifExifReader reader;
    if (!reader.LoadFile(path))
        return false;
    const std::vector<std::uint8_t> item = reader.ExtractExif();
    if (item.empty())
        return false;
    CExifInfo exif;
    std::int64_t seconds = 0;
    if (!exif.Load(item) || !exif.GetCaptureTime(&seconds))
        return false;
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
    if (local.tm_mon > 11 || local.tm_mday < 1 || local.tm_mday > 31 || local.tm_hour > 23 ||
        local.tm_min > 59 || local.tm_sec > 59) {
        LogExifDateError(*date, path);
        return false;
    }
    return true;
}

CaptureDateSource ResolveCaptureDate(const std::wstring& path, SYSTEMTIME* date)
{
    if (IsHeifExtension(path) && GetHeifCaptureDate(path, date))
        return CaptureDateSource::kHeif;

    CaptureDateSource source = ExifRoute(path, date);
    if (source == CaptureDateSource::kNone) {
        if (GetLastWriteDate(path, date))
            source = CaptureDateSource::kLastWrite;
        else if (GetHeifCaptureDate(path, date))
            source = CaptureDateSource::kHeif;
        else
            return CaptureDateSource::kNone;
    }
    if (!PassesRangeTestB(*date)) {
        g_Log.Write(L"撮影日時エラーの為除外 = %s, %s", CaptureDateLogText(*date).c_str(), path.c_str());
        return CaptureDateSource::kNone;
    }
    return source;
}

bool GetCaptureDate(const std::wstring& path, SYSTEMTIME* date)
{
    return ResolveCaptureDate(path, date) != CaptureDateSource::kNone;
}
