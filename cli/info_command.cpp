#include "cli/info_command.h"

#include <cstdio>
#include <string>

#include <cwchar>
#include <optional>
#include <vector>

#include "cli/console_writer.h"
#include "base/json_text.h"
#include "metadata/image_facts.h"
#include "organize/capture_date.h"
#include "organize/file_facts.h"
#include "organize/date_folder_format.h"
#include "organize/file_groups.h"
#include "organize/organize_settings.h"
#include "organize/run_report.h"

namespace {

std::wstring OptionalText(const std::optional<std::string>& text)
{
    return text ? JsonStringFromBytes(*text) : L"null";
}

// The capture date the organizer resolves, and with a format the folder it names.
std::wstring CaptureDateKeys(const std::wstring& file, std::optional<int> format)
{
    SYSTEMTIME date{};
    const CaptureDateSource source = ResolveCaptureDate(file, &date);
    std::wstring keys = L", \"capture_date\": ";
    if (source == CaptureDateSource::kNone) {
        keys += L"null";
    } else {
        wchar_t text[64];
        std::swprintf(text, 64, L"\"%04u-%02u-%02u %02u:%02u:%02u\"", date.wYear, date.wMonth, date.wDay,
                      date.wHour, date.wMinute, date.wSecond);
        keys += text;
    }
    keys += L", \"source\": \"" + std::wstring(DateSourceName(source)) + L"\"";
    if (format) {
        keys += L", \"folder\": ";
        keys += source == CaptureDateSource::kNone ? L"null" : JsonString(MakeDateFolderName(date, *format));
    }
    return keys;
}

// The files the organizer keeps together with this one (itself included), by the built-in
// kinds and the settings' own extensions.
std::wstring GroupKey(const std::wstring& file)
{
    static const OrganizeSettings settings = [] {
        OrganizeSettings loaded;
        loaded.Load();
        return loaded;
    }();
    const std::vector<std::wstring> names = GroupOfFile(file, settings);
    if (names.empty())
        return L", \"group\": null";
    std::wstring key = L", \"group\": [";
    for (std::size_t i = 0; i < names.size(); ++i)
        key += (i ? L", " : L"") + JsonString(names[i]);
    return key + L"]";
}

std::wstring FactsLine(const std::wstring& file, const ImageFacts& facts, std::optional<int> format)
{
    std::wstring line = L"{\"file\": " + JsonString(file);
    line += L", \"format\": " + JsonStringFromBytes(ImageFormatName(facts.format));
    line += L", \"exif\": ";
    line += facts.exif ? L"true" : L"false";
    line += L", \"datetime_original\": " + OptionalText(facts.dateTimeOriginal);
    line += L", \"datetime\": " + OptionalText(facts.dateTime);
    line += L", \"orientation\": ";
    line += facts.orientation ? std::to_wstring(*facts.orientation) : L"null";
    line += L", \"gps\": ";
    if (facts.gps) {
        wchar_t position[96];
        std::swprintf(position, 96, L"[%.6f, %.6f]", facts.gps->first, facts.gps->second);
        line += position;
    } else {
        line += L"null";
    }
    line += CaptureDateKeys(file, format) + GroupKey(file) + L"}\n";
    return line;
}

}  // namespace

int RunInfoCommand(int argc, wchar_t** argv)
{
    std::optional<int> format;
    std::vector<std::wstring> files;
    for (int i = 0; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--format") {
            wchar_t* end = nullptr;
            const long value = i + 1 < argc ? std::wcstol(argv[i + 1], &end, 10) : -1;
            if (i + 1 >= argc || *end != L'\0' || end == argv[i + 1] || value < 0 ||
                value >= kDateFolderFormatCount) {
                StdErr().Write(L"info: --format takes a layout number from 0 to 22\n");
                return 2;
            }
            format = static_cast<int>(value);
            ++i;
            continue;
        }
        files.push_back(argument);
    }
    if (files.empty()) {
        StdErr().Write(L"info: no files given\n");
        return 2;
    }
    int status = 0;
    for (const std::wstring& file : files) {
        ImageFacts facts;
        std::string error;
        if (!ReadImageFacts(file, &facts, &error)) {
            StdOut().Write(L"{\"file\": " + JsonString(file) + L", \"error\": " +
                           JsonStringFromBytes(error) + L"}\n");
            status = 1;
            continue;
        }
        StdOut().Write(FactsLine(file, facts, format));
    }
    return status;
}
