#include "organize/copy_to_date_folder.h"

#include <windows.h>

#include "base/path_text.h"
#include "organize/capture_date.h"
#include "organize/date_folder_format.h"
#include "organize/folder_utils.h"

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A path that does not fit the platform's 260-character buffers is refused rather than
// cut: a cut destination would put the file somewhere else.
bool Fits(const std::wstring& path)
{
    return path.size() < MAX_PATH;
}

}  // namespace

StatusCode CopyToDateFolder(const std::wstring& outputFolder, const std::wstring& sourcePath, int formatIndex,
                            std::wstring* destination)
{
    destination->clear();
    SYSTEMTIME date{};
    if (!GetCaptureDate(sourcePath, &date))
        return kStatusFail;

    const std::wstring name = NameOfPath(sourcePath);
    std::wstring target = outputFolder + L"\\" + MakeDateFolderName(date, formatIndex) + L"\\" + name;
    if (!Fits(target))
        return StatusFromWin32(ERROR_FILENAME_EXCED_RANGE);

    if (Exists(target)) {
        const std::wstring extension = ExtensionOf(name);
        const std::wstring stem = name.substr(0, name.size() - extension.size());
        const std::wstring folder = FolderOfPath(target);
        std::wstring candidate;
        for (int n = 1; n <= kMaxClashCounter; ++n) {
            candidate = folder + L"\\" + stem + L"(" + std::to_wstring(n) + L")" + extension;
            if (!Fits(candidate))
                return StatusFromWin32(ERROR_FILENAME_EXCED_RANGE);
            if (!Exists(candidate))
                break;
        }
        // With every counter taken the last candidate stands, and the copy refuses it.
        target = candidate;
    }

    CreateFolderPath(FolderOfPath(target));
    *destination = target;
    if (!CopyFileW(sourcePath.c_str(), target.c_str(), TRUE))
        return StatusFromLastError();
    return kStatusOk;
}
