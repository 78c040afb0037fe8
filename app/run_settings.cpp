#include "app/run_settings.h"

#include "base/settings_store.h"

namespace {

constexpr wchar_t kFolderHistorySection[] = L"FOLDER_HISTORY";

}  // namespace

void SaveFolderHistory(const std::vector<std::wstring>& folders)
{
    if (!g_SettingsStore.ReplaceList(kFolderHistorySection, folders))
        g_SettingsStore.LogUnsaved(kFolderHistorySection);
}

void SaveRunValues(const std::wstring& outputFolder, const OrganizeSettings& settings)
{
    bool held = g_SettingsStore.SetString(kAppSettingsSection, L"OutputFolder", outputFolder.c_str());
    held = g_SettingsStore.SetInt(kAppSettingsSection, L"MakePhotoHtml", settings.MakePhotoHtml) && held;
    held = g_SettingsStore.SetInt(kAppSettingsSection, L"MakePhotoHtmlIncludeNoPreview",
                                  settings.MakePhotoHtmlIncludeNoPreview) &&
           held;
    held = g_SettingsStore.SetInt(kAppSettingsSection, L"OutputFormatType", settings.OutputFormatType) && held;
    if (!held)
        g_SettingsStore.LogUnsaved(kAppSettingsSection);
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
