#pragma once
// What became of each file a run met, told as it happens: the run's report, which a user reads
// to know that nothing was missed, and which a killed run leaves whole up to its last file.

#include <windows.h>

#include <string>

#include "base/handles.h"
#include "organize/capture_date.h"

enum class FileOutcome {
    kCopied,        // copied to `destination`
    kAlreadyThere,  // its bytes are in the output folder already, at `destination`
    kNotOrganized,  // left where it was, for `reason`
};

struct FileReport {
    std::wstring path;         // in its input folder
    FileOutcome outcome = FileOutcome::kCopied;
    std::wstring reason;       // why it was not organized, as the log says it; empty otherwise
    std::wstring destination;  // its copy, or the copy that holds its bytes; empty when none
    CaptureDateSource dateSource = CaptureDateSource::kNone;
};

class RunReportSink {
public:
    virtual ~RunReportSink() = default;
    virtual void OnFile(const FileReport& file) = 0;
};

// The report as one JSON object a line: "file", "outcome" ("copied", "already_there",
// "not_organized"), "reason", "destination", "date_source" (as the console's info names it).
std::wstring FileReportLine(const FileReport& file);

// The name of a date source as the console and the report give it.
const wchar_t* DateSourceName(CaptureDateSource source);

// A report written to a file as the run goes, each line on the disk's way when it is written.
class RunReportFile : public RunReportSink {
public:
    // False when the file cannot be made (it is made new, or emptied).
    bool Open(const std::wstring& path);
    void OnFile(const FileReport& file) override;

private:
    UniqueFile file_;
};
