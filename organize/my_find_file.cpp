#include "organize/my_find_file.h"

#include "base/path_text.h"
#include "organize/copy_to_date_folder.h"

void MyFindFile_CL::OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found)
{
    // A copy an earlier run left half-done is never a file of the user's.
    if (IsPartialCopyName(found.cFileName))
        return;
    const std::wstring path = folderPath + L"\\" + found.cFileName;
    // The extension runs from the last "." of the whole path: a file without one in a folder
    // named with a dot gets that folder's tail, which no list holds.
    if (!settings_->ShouldOrganize(ExtensionOf(path)))
        return;
    FileFacts_CL facts;
    if (GatherFileFacts(path, &found, &facts))
        files_->push_back(std::move(facts));
}
