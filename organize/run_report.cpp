#include "organize/run_report.h"

#include "base/json_text.h"
#include "base/paths.h"
#include "base/text_encoding.h"
#include "base/whole_file.h"

const wchar_t* DateSourceName(CaptureDateSource source)
{
    switch (source) {
    case CaptureDateSource::kHeif:
        return L"heif";
    case CaptureDateSource::kExif:
        return L"exif";
    case CaptureDateSource::kMovie:
        return L"movie";
    case CaptureDateSource::kTakeout:
        return L"takeout";
    case CaptureDateSource::kName:
        return L"name";
    case CaptureDateSource::kLastWrite:
        return L"mtime";
    case CaptureDateSource::kNone:
        break;
    }
    return L"none";
}

std::wstring FileReportLine(const FileReport& file)
{
    static const wchar_t* const kOutcomes[] = {L"copied", L"already_there", L"not_organized"};
    const auto optional = [](const std::wstring& text) { return text.empty() ? L"null" : JsonString(text); };
    return L"{\"file\": " + JsonString(file.path) + L", \"outcome\": \"" + kOutcomes[static_cast<int>(file.outcome)] +
           L"\", \"reason\": " + optional(file.reason) + L", \"destination\": " + optional(file.destination) +
           L", \"date_source\": \"" + DateSourceName(file.dateSource) + L"\"}\n";
}

bool RunReportFile::Open(const std::wstring& path)
{
    // Shared for reading: the user may look at it while the run goes on.
    file_.reset(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file_);
}

void RunReportFile::OnFile(const FileReport& file)
{
    if (!file_)
        return;
    const std::string line = ToUtf8(FileReportLine(file));
    // A report that can no longer be written is given up; the run itself goes on.
    if (WriteBytesTo(file_.get(), line.data(), line.size()) != kStatusOk)
        file_.reset();
}
