#include "app/run_settings.h"

#include "base/settings_store.h"

void SaveFolderHistory(const std::vector<std::wstring>& folders)
{
    g_SettingsStore.ReplaceList(L"FOLDER_HISTORY", folders);
}

void SaveRunValues(const std::wstring& outputFolder, const OrganizeSettings& settings)
{
    g_SettingsStore.SetString(kAppSettingsSection, L"OutputFolder", outputFolder.c_str());
    g_SettingsStore.SetInt(kAppSettingsSection, L"MakePhotoHtml", settings.MakePhotoHtml);
    g_SettingsStore.SetInt(kAppSettingsSection, L"MakePhotoHtmlIncludeNoPreview", settings.MakePhotoHtmlIncludeNoPreview);
    g_SettingsStore.SetInt(kAppSettingsSection, L"OutputFormatType", settings.OutputFormatType);
}

void RememberRunChoices(const PreparedRun& run, const RunVerdict& verdict, const OrganizeSettings& settings)
{
    if (verdict.kind == RunVerdict::kOutputInsideInput) {
        const auto upToTheInput = run.inputFolders.begin() + static_cast<std::ptrdiff_t>(verdict.inputIndex + 1);
        SaveFolderHistory(std::vector<std::wstring>(run.inputFolders.begin(), upToTheInput));
        return;
    }
    SaveFolderHistory(run.inputFolders);
    SaveRunValues(run.outputFolder, settings);
}
