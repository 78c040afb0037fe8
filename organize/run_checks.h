#pragma once
// The checks before a run, over plain values, so that the main window and the console
// program refuse exactly the same things. They show nothing: they return a verdict, and the
// caller tells the user in its own way, with the texts given here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the user chose for a run.
struct RunChoices {
    std::vector<std::wstring> inputFolders;  // as listed, a trailing backslash allowed
    std::wstring outputText;                 // as typed
    std::int32_t outputFormat = 3;
    bool makeAlbum = true;
    bool albumIncludesNoPreview = true;
};

// The folders of a run, as the run takes them.
struct PreparedRun {
    std::vector<std::wstring> inputFolders;  // without trailing backslashes
    std::wstring outputFolder;
};

struct RunVerdict {
    enum Kind {
        kGo,                 // the run may start
        kAskBeforeAdding,    // the output folder was organized before: only with the user's yes
        kOutputInsideInput,  // the output folder is an input folder or lies inside one
        kNoInput,
        kNoOutput,
        kOtherLayout,        // the output folder was organized before under another layout
        kOutputNotEmpty,     // the output folder holds files of its own
        kInputMissing,       // an input folder is not there, or is not a folder
        kOutputTooLong,      // the output folder's path leaves no room for what a run puts there
        kRecordDamaged,      // the output folder's record is there but is no record
    };
    Kind kind = kGo;
    // kOutputInsideInput: the index of the input folder that holds the output folder; the
    // input folders up to it are the ones the choices remember. kInputMissing: the index of
    // the input folder that is missing.
    std::size_t inputIndex = 0;
};

// Prepares the folders and checks the choices, in the order the user hears of them.
RunVerdict CheckRun(const RunChoices& choices, PreparedRun* prepared);

// What the user reads of a verdict (empty for kGo).
std::wstring RunVerdictText(const RunVerdict& verdict, const PreparedRun& prepared);
// What follows a refusal of a used folder and a "no" to the question.
extern const wchar_t kCancelledText[];

// True when `output` is `input` or lies inside it (whole path components, any case).
bool OutputLiesInInput(const std::wstring& output, const std::wstring& input);
// The same for the folders the two paths really name, however they are written ("/", "..")
// and whatever links or junctions lead there.
bool OutputReachesIntoInput(const std::wstring& output, const std::wstring& input);
