#include "album/album_file_facts.h"

#include <windows.h>

#include <cmath>
#include <cwchar>

#include "base/json_text.h"

namespace {

// A number with at most one decimal, without a trailing ".0": 7.1, 9, 4.1.
std::wstring OneDecimal(double value)
{
    wchar_t text[48];
    const double rounded = std::round(value * 10.0) / 10.0;
    if (rounded == std::floor(rounded))
        std::swprintf(text, 48, L"%.0f", rounded);
    else
        std::swprintf(text, 48, L"%.1f", rounded);
    return text;
}

const wchar_t* SourceKey(CaptureDateSource source)
{
    switch (source) {
    case CaptureDateSource::kHeif:
    case CaptureDateSource::kExif:
    case CaptureDateSource::kMovie:
        return L"camera";
    case CaptureDateSource::kTakeout:
        return L"sidecar";
    case CaptureDateSource::kName:
        return L"name";
    case CaptureDateSource::kLastWrite:
    case CaptureDateSource::kNone:
        break;
    }
    return L"lastWrite";
}

// The capture time's own calendar fields, as the scan filed it (no time-zone conversion).
std::wstring TakenText(std::int64_t captureTime)
{
    FILETIME ticks{static_cast<DWORD>(static_cast<std::uint64_t>(captureTime)),
                   static_cast<DWORD>(static_cast<std::uint64_t>(captureTime) >> 32)};
    SYSTEMTIME date{};
    if (captureTime <= 0 || !FileTimeToSystemTime(&ticks, &date))
        return L"";
    wchar_t text[64];
    std::swprintf(text, 64, L"%d年%d月%d日 %d:%02d:%02d", date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute,
                  date.wSecond);
    return text;
}

void AddField(std::wstring& json, const wchar_t* key, const std::wstring& quotedValue)
{
    json += json.size() > 1 ? L"," : L"";
    json += L"\"";
    json += key;
    json += L"\":" + quotedValue;
}

std::string FirstWord(const std::string& text)
{
    return text.substr(0, text.find(' '));
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& start)
{
    if (start.empty() || text.size() < start.size())
        return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(start[i]);
        const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(a) != lower(b))
            return false;
    }
    return true;
}

}  // namespace

std::string CameraName(const std::string& make, const std::string& model)
{
    if (model.empty())
        return make;
    if (make.empty() || StartsWithIgnoringCase(model, FirstWord(make)))
        return model;
    return make + " " + model;
}

std::wstring ExposureTimeText(const ExifRational& seconds)
{
    const double value = seconds.Value();
    if (value >= 1.0 || value <= 0.0)
        return OneDecimal(value) + L" s";
    // Short times as the camera's dial names them, 1/N; a time between the dial's steps (4/10)
    // as the decimal it is.
    const double reciprocal = 1.0 / value;
    const double whole = std::round(reciprocal);
    if (value < 0.25 || std::fabs(reciprocal - whole) < 0.05 * reciprocal) {
        wchar_t text[48];
        std::swprintf(text, 48, L"1/%.0f s", whole);
        return text;
    }
    return OneDecimal(value) + L" s";
}

std::wstring FNumberText(const ExifRational& fNumber)
{
    return L"f/" + OneDecimal(fNumber.Value());
}

std::wstring FocalLengthText(const ExifRational& millimetres)
{
    return OneDecimal(millimetres.Value()) + L" mm";
}

std::wstring ByteSizeText(std::uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_wstring(bytes) + L" バイト";
    const wchar_t* units[] = {L"KB", L"MB", L"GB", L"TB"};
    double value = double(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    wchar_t text[48];
    std::swprintf(text, 48, L"%.1f %ls", value, units[unit]);
    return text;
}

std::wstring ViewerFactsJson(const AlbumFile& file)
{
    const AlbumFileFacts& facts = file.facts;
    std::wstring json = L"{";
    if (const std::wstring taken = TakenText(file.captureTime); !taken.empty()) {
        AddField(json, L"taken", JsonString(taken));
        AddField(json, L"source", JsonString(SourceKey(facts.dateSource)));
    }
    if (!facts.camera.empty())
        AddField(json, L"camera", JsonStringFromBytes(facts.camera));
    if (facts.exposureTime)
        AddField(json, L"shutter", JsonString(ExposureTimeText(*facts.exposureTime)));
    if (facts.fNumber)
        AddField(json, L"aperture", JsonString(FNumberText(*facts.fNumber)));
    if (facts.isoSpeed)
        AddField(json, L"iso", JsonString(std::to_wstring(facts.isoSpeed)));
    if (facts.focalLength)
        AddField(json, L"focal", JsonString(FocalLengthText(*facts.focalLength)));
    if (facts.focalLength35mm)
        AddField(json, L"focal35", JsonString(std::to_wstring(facts.focalLength35mm) + L" mm"));
    if (facts.width && facts.height)
        AddField(json, L"pixels", JsonString(std::to_wstring(facts.width) + L" × " + std::to_wstring(facts.height)));
    AddField(json, L"bytes", JsonString(ByteSizeText(file.size)));
    return json + L"}";
}
