#include "organize/my_find_file.h"

#include "base/path_text.h"
#include "organize/capture_date.h"

void MyFindFile_CL::OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found)
{
    const std::wstring path = folderPath + L"\\" + found.cFileName;
    // The extension runs from the last "." of the whole path: a file without one in a folder
    // named with a dot gets that folder's tail, which no list holds.
    if (!settings_->ShouldOrganize(ExtensionOf(path)))
        return;
    SYSTEMTIME date{};
    if (GetCaptureDate(path, &date))
        files_->push_back(path);
}
