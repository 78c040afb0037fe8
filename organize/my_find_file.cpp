#include "organize/my_find_file.h"

#include "base/logfile.h"
#include "base/path_text.h"
#include "organize/output_names.h"

void MyFindFile_CL::OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found)
{
    // A work file an earlier run left (a half-done copy, a half-saved record) is never a
    // file of the user's.
    if (IsWorkFileName(found.cFileName))
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

void MyFindFile_CL::OnPathTooLong(const std::wstring& path)
{
    ++tooLong_;
    g_Log.Write(L"パスが長すぎるため整理できません = %s", path.c_str());
}
