#pragma once
// A whole run as the user asks for it: the organize engine, then the album engine over what
// it made. It sits above both, so that neither engine knows the other's run and the window
// and the console program start the same thing.

#include <string>
#include <vector>

#include "base/progress_sink.h"
#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "organize/run_report.h"

// An organize run, then its album when the settings ask for one (MakePhotoHtml) and the run
// went through; a run that failed or was stopped gets none. A failed album makes the result
// fail at the album stage (what was copied stays copied and recorded).
// Every file the run handles is told in a report kept in the data folder (when there is one)
// and to `alsoReport` when given.
OrganizeResult OrganizeAndBuildAlbum(const OrganizeSettings& settings, ProgressSink& progress,
                                     const std::vector<std::wstring>& inputFolders, const std::wstring& outputFolder,
                                     RunReportSink* alsoReport = nullptr);
