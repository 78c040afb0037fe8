#include "organize/output_names.h"

#include <string>

#include "base/paths.h"

namespace {

const wchar_t kSavingSuffix[] = L".saving";
const wchar_t kRunningSuffix[] = L".running";

}  // namespace

std::wstring RecordPathOf(const std::wstring& outputFolder)
{
    return outputFolder + L"\\" + kRecordFileName;
}

std::wstring RecordSavingPathOf(const std::wstring& recordPath)
{
    return recordPath + kSavingSuffix;
}

const wchar_t* RecordSavingSuffix()
{
    return kSavingSuffix;
}

std::wstring RunningMarkerPathOf(const std::wstring& recordPath)
{
    return recordPath + kRunningSuffix;
}

bool IsPartialCopyName(const std::wstring& name)
{
    const std::size_t length = std::char_traits<wchar_t>::length(kPartialCopyName);
    return name.size() >= length && SamePathText(name.substr(0, length), kPartialCopyName);
}

bool IsWorkFileName(const std::wstring& name)
{
    const std::wstring record = kRecordFileName;
    return IsPartialCopyName(name) || SamePathText(name, record + kSavingSuffix) ||
           SamePathText(name, record + kRunningSuffix);
}

bool IsOwnFileName(const std::wstring& name)
{
    return SamePathText(name, kRecordFileName) || IsWorkFileName(name);
}

bool IsOwnFolderName(const std::wstring& name)
{
    return SamePathText(name, kAlbumFolderName) || SamePathText(name, kAlbumCacheFolderName);
}
