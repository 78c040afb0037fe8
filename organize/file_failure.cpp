#include "organize/file_failure.h"

#include <windows.h>

#include "base/handles.h"
#include "base/path_text.h"
#include "base/paths.h"

namespace {

bool IsOneOf(StatusCode status, std::initializer_list<DWORD> errors)
{
    for (const DWORD error : errors) {
        if (status == StatusFromWin32(error))
            return true;
    }
    return false;
}

bool SourceReadable(const std::wstring& source)
{
    return static_cast<bool>(UniqueFile(CreateFileW(ExtendedLengthPath(source).c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, 0, nullptr)));
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool IsOutputFailure(StatusCode status, const std::wstring& source, const std::wstring& outputFolder)
{
    // Only the output is written: these are its own, whatever the source.
    if (IsOneOf(status, {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL, ERROR_WRITE_PROTECT, ERROR_WRITE_FAULT}))
        return true;
    if (!IsFolder(outputFolder))
        return true;
    // A card pulled out fails the same way as an output disk that went away; the source
    // tells which of the two it was.
    if (!SourceReadable(source))
        return false;
    return IsOneOf(status, {ERROR_NOT_READY, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEV_NOT_EXIST, ERROR_IO_DEVICE,
                            ERROR_NETNAME_DELETED, ERROR_UNEXP_NET_ERR, ERROR_BAD_NETPATH, ERROR_SEM_TIMEOUT});
}

FileFailureReason ReasonOfCopyFailure(StatusCode status, const std::wstring& source)
{
    if (status == kStatusLinkedFolder)
        return FileFailureReason::kLinkedFolder;
    if (status == kStatusNotAFolder)
        return FileFailureReason::kNotAFolder;
    if (status == StatusFromWin32(ERROR_FILENAME_EXCED_RANGE))
        return FileFailureReason::kTooLong;
    if (!SourceReadable(source))
        return FileFailureReason::kSourceUnreadable;
    // A device's name ("COM1.jpg" on a card written elsewhere) is refused as a bad parameter.
    if (IsOneOf(status, {ERROR_INVALID_NAME, ERROR_INVALID_PARAMETER, ERROR_BAD_PATHNAME}))
        return FileFailureReason::kName;
    return FileFailureReason::kDestination;
}

const wchar_t* FileFailureReasonText(FileFailureReason reason)
{
    switch (reason) {
    case FileFailureReason::kSourceUnreadable:
        return L"コピー元のファイルがなくなったか、読み込めません";
    case FileFailureReason::kName:
        return L"Windows で使えない名前のファイルです";
    case FileFailureReason::kLinkedFolder:
        return L"出力先の日付フォルダがリンクのため、書き込みません";
    case FileFailureReason::kNotAFolder:
        return L"出力先の日付フォルダの場所に同じ名前のファイルがあります";
    case FileFailureReason::kTooLong:
        return L"コピー先のパスが長すぎます";
    case FileFailureReason::kNotFlushed:
        return L"コピーしたファイルをディスクに書き込めません";
    case FileFailureReason::kDestination:
        break;
    }
    return L"コピー先を作成できません";
}
