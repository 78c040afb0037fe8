#pragma once
// One organize run: every wanted file of the input folders whose content the output folder
// does not hold yet is copied into its date folder, and the output folder's record is
// brought up to date.

#include <string>
#include <vector>

#include "app/status_code.h"
#include "ui/progress_sink.h"

struct OrganizeCounts {
    int inputFiles = 0;
    int duplicates = 0;
    int copied = 0;
};

// Runs on the worker thread of the progress dialog (or the console program's thread).
// The first copy failure is shown and ends the run with its status code.
StatusCode RunOrganize(ProgressSink_CL& progress, const std::vector<std::wstring>& inputFolders,
                       const std::wstring& outputFolder, OrganizeCounts* counts = nullptr);

// The system's text for a status code, on one line; empty when it has none.
std::wstring SystemMessageText(StatusCode status);
