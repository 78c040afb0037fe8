#include "app/startup.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <clocale>
#include <cstdlib>
#include <memory>

#include "base/paths.h"
#include "base/settings_store.h"
#include "base/log_file.h"
#include "app/main_window.h"
#include "base/handles.h"

namespace {

// Held for the life of the process; the system releases it when the last owner exits.
UniqueHandle g_singleInstance;

// Shared by every instance of every version, so that no two ever run at once.
constexpr wchar_t kSingleInstanceMutex[] = L"Kasumiro.SingleInstance.5B0C3E1A";

void SeedRandomGenerator()
{
    // Advanced by the tick count on every start, so two starts within one tick still differ.
    const auto seed = static_cast<std::uint32_t>(g_SettingsStore.GetInt(kAppSettingsSection, L"rand_seed", 0)) +
                      GetTickCount();
    std::srand(seed);
    // A seed the settings file does not keep leaves the next start the tick count alone, which
    // differs all the same.
    (void)g_SettingsStore.SetInt(kAppSettingsSection, L"rand_seed", static_cast<std::int32_t>(seed));
}

}  // namespace

int RunKasumiro()
{
    std::setlocale(LC_ALL, "Japanese");

    const std::wstring dataFolder = DefaultDataFolder();
    if (!dataFolder.empty()) {
        CreateDirectoryW(dataFolder.c_str(), nullptr);
        SetDataFolder(dataFolder);
        g_Log.SetPath(dataFolder + L"\\" + kLogFileName);
        g_SettingsStore.Open(dataFolder + L"\\" + kSettingsFileName);
    } else {
        // Without a Documents folder there is no data folder: the log goes beside the
        // executable, and the settings keep their defaults for this session.
        g_Log.SetPath(GetExeFolder() + L"\\" + kLogFileName);
    }

    g_Log.Write(L"\r\n★★★★★ アプリ起動 ★★★★★");
    g_Log.Write(L"DataFolderPath = \"%s\"", DataFolder().c_str());

    g_singleInstance.reset(CreateMutexW(nullptr, TRUE, kSingleInstanceMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        g_Log.Write(L"多重起動チェックで既に起動中でした。");
        return 0;
    }

    const ComInit com;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);

    SeedRandomGenerator();

    {
        auto mainWindow = std::make_unique<MainWindow>();
        mainWindow->DoModal(nullptr);
    }
    return 0;
}
