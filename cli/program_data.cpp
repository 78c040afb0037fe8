#include "cli/program_data.h"

#include <windows.h>

#include "base/log_file.h"
#include "base/paths.h"

std::wstring UseProgramLog()
{
    const std::wstring dataFolder = DefaultDataFolder();
    // The window's data folder, when it has made one: the log and the runs' reports go there.
    if (!dataFolder.empty() && GetFileAttributesW(dataFolder.c_str()) != INVALID_FILE_ATTRIBUTES) {
        g_Log.SetPath(dataFolder + L"\\" + kLogFileName);
        SetDataFolder(dataFolder);
    }
    return dataFolder;
}
