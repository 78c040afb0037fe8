#include "cli/info_command.h"

#include <cstdio>
#include <string>

#include "cli/console_writer.h"
#include "cli/json_text.h"
#include "metadata/image_facts.h"

namespace {

std::wstring OptionalText(const std::optional<std::string>& text)
{
    return text ? JsonStringFromBytes(*text) : L"null";
}

std::wstring FactsLine(const std::wstring& file, const ImageFacts& facts)
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
    line += L"}\n";
    return line;
}

}  // namespace

int RunInfoCommand(int fileCount, wchar_t** files)
{
    int status = 0;
    for (int i = 0; i < fileCount; ++i) {
        const std::wstring file = files[i];
        ImageFacts facts;
        std::string error;
        if (!ReadImageFacts(file, &facts, &error)) {
            StdOut().Write(L"{\"file\": " + JsonString(file) + L", \"error\": " +
                           JsonStringFromBytes(error) + L"}\n");
            status = 1;
            continue;
        }
        StdOut().Write(FactsLine(file, facts));
    }
    return status;
}
