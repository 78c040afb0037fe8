#pragma once
// One organize run: every wanted file of the input folders whose content the output folder
// does not hold yet is copied into its date folder, and the output folder's record is
// brought up to date. It shows nothing: the caller tells the user what the result means.

#include <string>
#include <vector>

#include "base/progress_sink.h"
#include "organize/organize_result.h"
#include "organize/organize_settings.h"
#include "organize/run_report.h"

// Copies made at once by default: a copy mostly waits for the disk. Measured on a RAM disk and
// on a disk (bench/README.md): one is clearly slower, two to four are alike, six and eight no
// better (on the disk, worse); three keeps a fast disk's queue fed without thrashing a slow one.
constexpr int kDefaultCopyWorkers = 3;

// Runs on the worker thread of the progress dialog (or the console program's thread), with
// the kinds, lists and layout of `settings`. The first copy failure ends the run; a stop the
// progress asks for ends it after the copies under way. copyWorkers: how many copies are made
// at once (with more than one, the duplicate tests are also weighed ahead on a thread of their
// own); names, counts, the record and the report come out the same for any number.
// report: when given, told of every file the run handles, as it handles it.
OrganizeResult RunOrganize(const OrganizeSettings& settings, ProgressSink& progress,
                           const std::vector<std::wstring>& inputFolders, const std::wstring& outputFolder,
                           int copyWorkers = kDefaultCopyWorkers, RunReportSink* report = nullptr);
