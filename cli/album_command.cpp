#include "cli/album_command.h"

#include <windows.h>

#include <string>

#include "album/album_build.h"
#include "base/path_text.h"
#include "base/paths.h"
#include "organize/organize_result.h"
#include "organize/output_names.h"
#include "cli/console_progress.h"
#include "cli/console_writer.h"
#include "cli/program_data.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int UsageError(const std::wstring& message)
{
    StdErr().Write(L"album: " + message + L"\n");
    return kExitUsage;
}

}  // namespace

int RunAlbumCommand(int argc, wchar_t** argv)
{
    std::wstring output;
    bool previewFilesOnly = false;
    for (int i = 0; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--output" && i + 1 < argc)
            output = argv[++i];
        else if (option == L"--no-preview-files")
            previewFilesOnly = true;
        else if (option == L"--output")
            return UsageError(L"--output needs a value");
        else
            return UsageError(L"unknown option " + option);
    }
    if (output.empty())
        return UsageError(L"--output names the output folder");
    output = WithoutTrailingBackslash(output);
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(output).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return UsageError(L"no such folder: " + output);

    UseProgramLog();
    AlbumBuildResult built;
    {
        ConsoleProgress progress;
        built = BuildPhotoAlbum(progress, output, !previewFilesOnly);
    }
    if (built.Failed()) {
        StdErr().Write(AlbumFailureText(built.status, built.failedPath, built.missingCodec) + L"\n");
        return kExitFailed;
    }
    StdOut().Write(output + L"\\" + kAlbumFolderName + L"\\index.html\n");
    return kExitOk;
}
