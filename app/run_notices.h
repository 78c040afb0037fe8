#pragma once
// What the user hears of a run: the checks' refusals and question, and how the run ended
// (done, stopped by the user, or failed), each in a message box.

#include <windows.h>

#include "organize/organize_run.h"
#include "organize/run_checks.h"

class RunSummary;

extern const wchar_t kNoticeCaption[];
// The completion notice's button that opens the run's results.
extern const wchar_t kShowResultsButton[];

// Tells the user of the verdict, owned by `owner`; true when the run may go (for a folder
// organized before, only when the user agrees to add to it).
bool AgreeToRun(HWND owner, const RunVerdict& verdict, const PreparedRun& run);
// How the run ended: a failure says what failed (a failed copy with its source, destination
// and status code), a stopped run what it did; only a run that went through gets the
// completion notice, whose button 「詳細を表示」 opens the window of the run's results (from
// `summary`, what the run told of each file) over `owner`.
void ShowRunOutcome(HWND owner, const OrganizeResult& result, const RunSummary& summary);
