#include "base/file_identity.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/base_limits.h"
#include "base/handles.h"
#include "base/path_text.h"
#include "base/paths.h"

bool IdentityOf(const std::wstring& path, FileIdentity* identity)
{
    // Attributes only, shared with everyone; the backup flag lets a folder be opened.
    UniqueFile file(CreateFileW(ExtendedLengthPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !GetFileInformationByHandle(file.get(), &information))
        return false;
    identity->volume = information.dwVolumeSerialNumber;
    identity->index = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    return true;
}

namespace {

// The path of what the handle has open below its volume's root ("\photos\x.jpg"; a file on
// a share has "\server\share" before it).
std::wstring PathBelowVolumeOf(HANDLE file)
{
    std::vector<std::uint8_t> buffer(sizeof(FILE_NAME_INFO) + sizeof(wchar_t) * base_limits::kMaxPathChars);
    auto* const info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(file, FileNameInfo, info, static_cast<DWORD>(buffer.size())))
        return std::wstring();
    return std::wstring(info->FileName, std::min<std::size_t>(info->FileNameLength / sizeof(wchar_t),
                                                              base_limits::kMaxPathChars));
}

}  // namespace

std::wstring FinalPathOf(HANDLE file, const std::wstring& openedAs)
{
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
    if (length >= final.size()) {
        final.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
    }
    if (length == 0 || length >= final.size()) {
        // The compatibility layer our tests run on cannot give a final path past 260
        // characters, but can give the part below the volume: the volume is the one the path
        // it was opened by starts from.
        const std::wstring below = PathBelowVolumeOf(file);
        const std::wstring full = FullPathOf(openedAs);
        if (below.empty() || full.size() < 2)
            return std::wstring();
        return full.rfind(L"\\\\", 0) == 0 ? L"\\" + below : full.substr(0, 2) + below;
    }
    final.resize(length);
    // \\?\D:\... and \\?\UNC\server\... back to the forms the user types.
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\\\" + final.substr(8);
    if (final.rfind(L"\\\\?\\", 0) == 0)
        return final.substr(4);
    return final;
}

std::wstring FinalFolderPathOf(const std::wstring& folder)
{
    // "D:" alone would name the drive's current folder.
    const bool drive = folder.size() == 2 && folder[1] == L':';
    UniqueFile file(CreateFileW(ExtendedLengthPath(drive ? folder + L"\\" : folder).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file ? WithoutTrailingBackslash(FinalPathOf(file.get(), drive ? folder + L"\\" : folder)) : std::wstring();
}

bool LiesWhereListed(const std::wstring& finalPath, const std::wstring& folderFinal, const std::wstring& name)
{
    // The compatibility layer that runs our tests drops a name's trailing dots and spaces from
    // where it says the file lies.
    return !folderFinal.empty() && SamePathText(WithoutTrailingDotsAndSpaces(finalPath),
                                                folderFinal + L"\\" + WithoutTrailingDotsAndSpaces(name));
}

std::wstring ResolvedFolderPath(const std::wstring& folder)
{
    // "D:" alone would name the drive's current folder.
    const bool drive = !folder.empty() && folder.back() == L':';
    std::wstring full = FullPathOf(drive ? folder + L"\\" : folder);
    if (full.empty())
        return std::wstring();
    full = WithoutTrailingBackslash(full);
    // The deepest part that exists is resolved; what lies below it is not there to follow.
    std::wstring existing = full, tail;
    while (!existing.empty()) {
        const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(existing.back() == L':' ? existing + L"\\" : existing).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            break;
        const size_t slash = existing.rfind(L'\\');
        if (slash == std::wstring::npos)
            return full;
        tail = existing.substr(slash) + tail;
        existing.resize(slash);
    }
    const std::wstring final = FinalFolderPathOf(existing);
    return final.empty() ? full : WithoutTrailingBackslash(final) + tail;
}
