#include "organize/run_checks.h"

#include "app/inifile.h"
#include "app/logfile.h"
#include "organize/compare_file.h"
#include "organize/folder_utils.h"
#include "organize/organize_settings.h"
#include "ui/ui_seams.h"

const wchar_t kNoticeCaption[] = L"お知らせ";
const wchar_t kCancelledText[] = L"キャンセルしました。";

namespace {

const wchar_t kUsedFolder[] = L"出力先はフォルダは、過去に写真の整理を実行した事のあるフォルダです。";

std::wstring WithoutTrailingBackslash(std::wstring path)
{
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

void Notice(HWND owner, const std::wstring& text, UINT icon)
{
    ShowMessageBox(owner, text, kNoticeCaption, MB_OK | icon);
}

void Cancelled(HWND owner)
{
    Notice(owner, kCancelledText, MB_ICONINFORMATION);
}

}  // namespace

bool OutputLiesInInput(const std::wstring& output, const std::wstring& input)
{
    std::wstring probe = output + L"\\";
    while (probe.size() >= input.size()) {
        const size_t slash = probe.rfind(L'\\');
        if (slash == std::wstring::npos)
            return false;
        probe.resize(slash);
        if (CompareStringOrdinal(probe.c_str(), static_cast<int>(probe.size()), input.c_str(),
                                 static_cast<int>(input.size()), TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

bool PrepareRun(HWND owner, const RunRequest_CL& request, PreparedRun_CL* prepared)
{
    *prepared = PreparedRun_CL{};
    const std::wstring recordPath = request.outputText + L"\\Sortavel.dat";
    CompareFile_CL record;
    record.Load(recordPath);  // only the format it stored matters here

    g_OrganizeSettings.OutputFormatType = request.outputFormat;
    g_OrganizeSettings.MakePhotoHtml = request.makeAlbum ? 1 : 0;
    g_OrganizeSettings.MakePhotoHtmlIncludeNoPreview = request.albumIncludesNoPreview ? 1 : 0;
    prepared->outputFolder = WithoutTrailingBackslash(request.outputText);

    // The choices are remembered before they are checked, so that a refusal loses nothing
    // the user typed.
    if (request.saveSettings)
        g_Ini.DeleteSection(L"FOLDER_HISTORY");
    for (size_t k = 0; k < request.inputFolders.size(); ++k) {
        const std::wstring folder = WithoutTrailingBackslash(request.inputFolders[k]);
        prepared->inputFolders.push_back(folder);
        if (request.saveSettings) {
            g_Ini.SetInt(L"FOLDER_HISTORY", L"count", static_cast<std::int32_t>(k + 1));
            g_Ini.SetString(L"FOLDER_HISTORY", Inifile_CL::MakeItemKey(L"item", static_cast<int>(k)).c_str(),
                            folder.c_str());
        }
        if (OutputLiesInInput(prepared->outputFolder, folder)) {
            ShowMessageBox(nullptr,
                           L"出力先フォルダが入力フォルダの中に含まれています。出力先フォルダは入力フォルダの中に含まないでください。"
                           L"\r\n【入力】" + folder + L"\r\n【出力】" + prepared->outputFolder,
                           L"パラメータエラー", MB_OK | MB_ICONERROR);
            return false;
        }
    }
    if (request.saveSettings) {
        g_Ini.SetString(L"APP_INFO", L"OutputFolder", prepared->outputFolder.c_str());
        g_Ini.SetInt(L"APP_INFO", L"MakePhotoHtml", g_OrganizeSettings.MakePhotoHtml);
        g_Ini.SetInt(L"APP_INFO", L"MakePhotoHtmlIncludeNoPreview", g_OrganizeSettings.MakePhotoHtmlIncludeNoPreview);
        g_Ini.SetInt(L"APP_INFO", L"OutputFormatType", g_OrganizeSettings.OutputFormatType);
    }

    if (prepared->inputFolders.empty()) {
        const wchar_t* text = L"入力フォルダを指定してください。";
        Notice(owner, text, MB_ICONEXCLAMATION);
        g_Log.Write(L"%s", text);
        return false;
    }
    if (prepared->outputFolder.empty()) {
        const wchar_t* text = L"出力先フォルダを指定してください。";
        Notice(owner, text, MB_ICONEXCLAMATION);
        g_Log.Write(L"%s", text);
        return false;
    }

    if (GetFileAttributesW(recordPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (record.OutputFormat() != -1 && record.OutputFormat() != g_OrganizeSettings.OutputFormatType) {
            Notice(owner,
                   std::wstring(kUsedFolder) +
                       L"出力フォルダの形式を変更する場合は、出力先フォルダを空にしてから再度実行してください。",
                   MB_ICONEXCLAMATION);
            Cancelled(owner);
            return false;
        }
        const int answer = ShowMessageBox(owner,
                                          std::wstring(kUsedFolder) +
                                              L"前回の結果に追加で整理を行いますがよろしいですか？\r\n\r\n"
                                              L"新規で整理を行う場合は、出力先フォルダを空にしてから再度実行してください。",
                                          kNoticeCaption, MB_OKCANCEL | MB_ICONQUESTION);
        if (answer != IDOK) {
            Cancelled(owner);
            return false;
        }
        return true;
    }
    if (!IsFolderEmpty(prepared->outputFolder, true)) {
        Notice(owner,
               L"出力先フォルダが空ではありません。出力先フォルダを空にしてから再度実行してください。"
               L"(空のフォルダを指定しているにも関わらずこのメッセージが表示される場合は、隠しフォルダ等が存在しないか確認ください)",
               MB_ICONEXCLAMATION);
        Cancelled(owner);
        return false;
    }
    return true;
}
