#include "organize/copy_to_date_folder.h"

#include <windows.h>

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

StatusCode CopyToDateFolder(const std::wstring& outputFolder, const std::wstring& sourcePath,
                            std::wstring* destination)
{
    destination->clear();
    SYSTEMTIME date{};
    if (!GetCaptureDate(sourcePath, &date))
        return kStatusFail;

    const size_t slash = sourcePath.rfind(L'\\');
    const std::wstring name = slash == std::wstring::npos ? sourcePath : sourcePath.substr(slash + 1);
    std::wstring target = outputFolder + L"\\" + MakeDateFolderName(date) + L"\\" + name;
    if (!Fits(target))
        return StatusFromWin32(ERROR_FILENAME_EXCED_RANGE);

    if (Exists(target)) {
        const size_t dot = name.rfind(L'.');
        const std::wstring stem = dot == std::wstring::npos ? name : name.substr(0, dot);
        const std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
        const std::wstring folder = target.substr(0, target.rfind(L'\\'));
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

    CreateFolderPath(target.substr(0, target.rfind(L'\\')));
    *destination = target;
    if (!CopyFileW(sourcePath.c_str(), target.c_str(), TRUE))
        return StatusFromLastError();
    return kStatusOk;
}
