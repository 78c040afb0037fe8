#pragma once
// What the user hears of a run: the checks' refusals and question, a failed copy, and the
// end of the run, each in a message box.

#include <windows.h>

#include "organize/organize_run.h"
#include "organize/run_checks.h"

extern const wchar_t kNoticeCaption[];

// Tells the user of the verdict, owned by `owner`; true when the run may go (for a folder
// organized before, only when the user agrees to add to it).
bool AgreeToRun(HWND owner, const RunVerdict_CL& verdict, const PreparedRun_CL& run);
// The copy that ended a run, with its source, destination and status code.
void ShowCopyFailure(const OrganizeResult& result);
// The notice that follows every run, one that ended at a failed copy too.
void ShowRunFinished(HWND owner);
