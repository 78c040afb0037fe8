// kasumiro-cli: the organize engine for scripts and scheduled tasks.

#include <windows.h>

#include <string>
#include <string_view>

#include "base/version.h"
#include "cli/album_command.h"
#include "cli/console_writer.h"
#include "cli/info_command.h"
#include "cli/organize_command.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

constexpr wchar_t kUsage[] =
    L"usage: kasumiro-cli <command> [options]\n"
    L"\n"
    L"commands:\n"
    L"  --version        print the program's version\n"
    L"  info [--format N] FILE...\n"
    L"                   print each file's metadata facts and capture date as one JSON\n"
    L"                   object per line; with --format, the date folder of layout N (0-22)\n"
    L"  organize --output DIR --input DIR [--input DIR ...] [--format N]\n"
    L"           [--kinds photo,movie,sound,etc] [--album | --no-album] [--yes]\n"
    L"           [--settings FILE]\n"
    L"                   organize the input folders into the output folder\n"
    L"  album --output DIR [--no-preview-files]\n"
    L"                   build the HTML album of an output folder organized before\n";

int PrintUsage(std::wstring_view unknownCommand = {})
{
    if (!unknownCommand.empty())
        StdErr().Write(L"unknown command: " + std::wstring(unknownCommand) + L"\n\n");
    StdErr().Write(kUsage);
    return kExitUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return PrintUsage();
    const std::wstring_view command = argv[1];
    if (command == L"--version" && argc == 2) {
        StdOut().Write(std::wstring(kProductName) + L" " + kProductVersion + L"\n");
        return kExitOk;
    }
    if (command == L"info")
        return RunInfoCommand(argc - 2, argv + 2);
    if (command == L"organize")
        return RunOrganizeCommand(argc - 2, argv + 2);
    if (command == L"album")
        return RunAlbumCommand(argc - 2, argv + 2);
    return PrintUsage(command);
}
