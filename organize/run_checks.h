#pragma once
// The checks before a run, over plain values, so that the main window and the console
// program refuse exactly the same things: the user's choices are saved, then checked, and
// a used output folder is only added to after the user agrees.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct RunRequest_CL {
    std::vector<std::wstring> inputFolders;  // as listed, a trailing backslash allowed
    std::wstring outputText;                 // as typed
    std::int32_t outputFormat = 3;
    bool makeAlbum = true;
    bool albumIncludesNoPreview = true;
    bool saveSettings = true;                // the console program never writes the settings
};

struct PreparedRun_CL {
    std::vector<std::wstring> inputFolders;  // without trailing backslashes
    std::wstring outputFolder;
};

// Steps before a run: sets the run values, saves the choices (when asked to), and checks
// them, telling the user through message boxes owned by `owner`. True when the run may go.
bool PrepareRun(HWND owner, const RunRequest_CL& request, PreparedRun_CL* prepared);

// True when `output` is `input` or lies inside it (whole path components, any case).
bool OutputLiesInInput(const std::wstring& output, const std::wstring& input);

// The texts of the checks, as the user reads them.
extern const wchar_t kNoticeCaption[];
extern const wchar_t kCancelledText[];
