#include "organize/run_checks.h"

#include <windows.h>

#include "base/base_limits.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "organize/output_record.h"
#include "organize/date_folder_format.h"
#include "base/file_identity.h"
#include "organize/folder_utils.h"
#include "organize/organize_result.h"
#include "organize/output_names.h"

const wchar_t kCancelledText[] = L"キャンセルしました。";

namespace {

const wchar_t kUsedFolder[] = L"出力先はフォルダは、過去に写真の整理を実行した事のあるフォルダです。";
const wchar_t kNoInputText[] = L"入力フォルダを指定してください。";
const wchar_t kNoOutputText[] = L"出力先フォルダを指定してください。";

bool IsFolder(const std::wstring& path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path.back() == L':' ? path + L"\\" : path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The output folder leaves room for the record's temporary file, and for a date folder of
// the layout with a file of the longest name a folder can hold in it: past that no run could
// put anything there.
bool OutputFolderFits(const std::wstring& outputFolder, std::int32_t outputFormat)
{
    SYSTEMTIME day{};
    day.wYear = 2024;
    day.wMonth = 12;
    day.wDay = 31;
    const std::wstring photo =
        outputFolder + L"\\" + MakeDateFolderName(day, NormalizedFormatIndex(outputFormat)) + L"\\" +
                              std::wstring(base_limits::kMaxNameChars, L'N');
    return FitsPathLimit(RecordSavingPathOf(RecordPathOf(outputFolder))) && FitsPathLimit(photo);
}

}  // namespace

bool OutputReachesIntoInput(const std::wstring& output, const std::wstring& input)
{
    if (OutputLiesInInput(output, input))
        return true;
    const std::wstring resolvedOutput = ResolvedFolderPath(output), resolvedInput = ResolvedFolderPath(input);
    return !resolvedOutput.empty() && !resolvedInput.empty() && OutputLiesInInput(resolvedOutput, resolvedInput);
}

bool OutputLiesInInput(const std::wstring& output, const std::wstring& input)
{
    std::wstring probe = output + L"\\";
    while (probe.size() >= input.size()) {
        const size_t slash = probe.rfind(L'\\');
        if (slash == std::wstring::npos)
            return false;
        probe.resize(slash);
        if (SamePathText(probe, input))
            return true;
    }
    return false;
}

RunVerdict CheckRun(const RunChoices& choices, PreparedRun* prepared)
{
    *prepared = PreparedRun{};
    // From the text as typed: a trailing backslash there gives a doubled one, which the file
    // system takes.
    const std::wstring recordPath = RecordPathOf(choices.outputText);
    OutputRecord record;
    // Only whether it is damaged and the layout it stored matter here: a record that cannot be
    // read now is said by the run, which reads it again.
    const RecordLoad loaded = record.Load(recordPath);

    prepared->outputFolder = WithoutTrailingBackslash(choices.outputText);
    for (const std::wstring& input : choices.inputFolders)
        prepared->inputFolders.push_back(WithoutTrailingBackslash(input));
    for (size_t k = 0; k < prepared->inputFolders.size(); ++k) {
        if (OutputReachesIntoInput(prepared->outputFolder, prepared->inputFolders[k]))
            return RunVerdict{RunVerdict::kOutputInsideInput, k};
    }

    if (prepared->inputFolders.empty()) {
        g_Log.Write(L"%s", kNoInputText);
        return RunVerdict{RunVerdict::kNoInput};
    }
    if (prepared->outputFolder.empty()) {
        g_Log.Write(L"%s", kNoOutputText);
        return RunVerdict{RunVerdict::kNoOutput};
    }
    for (size_t k = 0; k < prepared->inputFolders.size(); ++k) {
        // A folder that is not there would be read as empty, and the run would report
        // success with nothing organized.
        const std::wstring& input = prepared->inputFolders[k];
        if (!IsFolder(input)) {
            g_Log.Write(L"入力フォルダが見つかりません = %s", input.c_str());
            return RunVerdict{RunVerdict::kInputMissing, k};
        }
    }
    if (!OutputFolderFits(prepared->outputFolder, choices.outputFormat)) {
        g_Log.Write(L"出力先フォルダのパスが長すぎます = %s", prepared->outputFolder.c_str());
        return RunVerdict{RunVerdict::kOutputTooLong};
    }
    if (loaded.outcome == RecordLoad::kDamaged)
        return RunVerdict{RunVerdict::kRecordDamaged};
    if (GetFileAttributesW(ExtendedLengthPath(recordPath).c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (record.OutputFormat() != -1 && record.OutputFormat() != NormalizedFormatIndex(choices.outputFormat))
            return RunVerdict{RunVerdict::kOtherLayout};
        return RunVerdict{RunVerdict::kAskBeforeAdding};
    }
    if (!IsFolderEmpty(prepared->outputFolder, true))
        return RunVerdict{RunVerdict::kOutputNotEmpty};
    return RunVerdict{RunVerdict::kGo};
}

std::wstring RunVerdictText(const RunVerdict& verdict, const PreparedRun& prepared)
{
    switch (verdict.kind) {
    case RunVerdict::kGo:
        return std::wstring();
    case RunVerdict::kAskBeforeAdding:
        return std::wstring(kUsedFolder) +
               L"前回の結果に追加で整理を行いますがよろしいですか？\r\n\r\n"
               L"新規で整理を行う場合は、出力先フォルダを空にしてから再度実行してください。";
    case RunVerdict::kOutputInsideInput:
        return L"出力先フォルダが入力フォルダの中に含まれています。出力先フォルダは入力フォルダの中に含まないでください。"
               L"\r\n【入力】" + prepared.inputFolders.at(verdict.inputIndex) + L"\r\n【出力】" + prepared.outputFolder;
    case RunVerdict::kNoInput:
        return kNoInputText;
    case RunVerdict::kNoOutput:
        return kNoOutputText;
    case RunVerdict::kOtherLayout:
        return std::wstring(kUsedFolder) +
               L"出力フォルダの形式を変更する場合は、出力先フォルダを空にしてから再度実行してください。";
    case RunVerdict::kInputMissing:
        return L"入力フォルダが見つからないか、フォルダではありません。入力フォルダを確認してください。\r\n【入力】" +
               prepared.inputFolders.at(verdict.inputIndex);
    case RunVerdict::kOutputTooLong:
        return L"出力先フォルダのパスが長すぎます。もっと短いパスのフォルダを指定してください。\r\n【出力】" +
               prepared.outputFolder;
    case RunVerdict::kRecordDamaged:
        return RecordDamagedText(RecordPathOf(prepared.outputFolder));
    case RunVerdict::kOutputNotEmpty:
        return L"出力先フォルダが空ではありません。出力先フォルダを空にしてから再度実行してください。"
               L"(空のフォルダを指定しているにも関わらずこのメッセージが表示される場合は、隠しフォルダ等が存在しないか確認ください)";
    }
    return std::wstring();
}
