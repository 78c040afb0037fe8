#include "app/run_settings.h"

#include "base/inifile.h"

void SaveFolderHistory(const std::vector<std::wstring>& folders)
{
    g_Ini.ReplaceList(L"FOLDER_HISTORY", folders);
}

void SaveRunValues(const std::wstring& outputFolder, const OrganizeSettings& settings)
{
    g_Ini.SetString(L"APP_INFO", L"OutputFolder", outputFolder.c_str());
    g_Ini.SetInt(L"APP_INFO", L"MakePhotoHtml", settings.MakePhotoHtml);
    g_Ini.SetInt(L"APP_INFO", L"MakePhotoHtmlIncludeNoPreview", settings.MakePhotoHtmlIncludeNoPreview);
    g_Ini.SetInt(L"APP_INFO", L"OutputFormatType", settings.OutputFormatType);
}

void RememberRunChoices(const PreparedRun_CL& run, const RunVerdict_CL& verdict, const OrganizeSettings& settings)
{
    if (verdict.kind == RunVerdict_CL::kOutputInsideInput) {
        const auto upToTheInput = run.inputFolders.begin() + static_cast<std::ptrdiff_t>(verdict.inputIndex + 1);
        SaveFolderHistory(std::vector<std::wstring>(run.inputFolders.begin(), upToTheInput));
        return;
    }
    SaveFolderHistory(run.inputFolders);
    SaveRunValues(run.outputFolder, settings);
}
