#include "organize/my_find_file.h"

#include "organize/capture_date.h"

void MyFindFile_CL::OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found)
{
    const std::wstring path = folderPath + L"\\" + found.cFileName;
    // The extension runs from the last "." of the whole path: a file without one in a folder
    // named with a dot gets that folder's tail, which no list holds.
    const size_t dot = path.rfind(L'.');
    const std::wstring extension = dot == std::wstring::npos ? std::wstring() : path.substr(dot);
    if (!settings_->ShouldOrganize(extension))
        return;
    SYSTEMTIME date{};
    if (GetCaptureDate(path, &date))
        files_->push_back(path);
}
