#include "tests/support/documents_folder.h"

namespace {

const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

}  // namespace

ScopedDocumentsFolder::ScopedDocumentsFolder(const std::wstring& folder)
{
    RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                    key_.put(), nullptr);
    wchar_t old[MAX_PATH * 2] = {};
    DWORD bytes = sizeof old - sizeof(wchar_t);
    hadOld_ = RegQueryValueExW(key_.get(), L"Personal", nullptr, &oldType_, reinterpret_cast<BYTE*>(old), &bytes) ==
              ERROR_SUCCESS;
    old_ = old;
    Set(REG_SZ, folder);
}

ScopedDocumentsFolder::~ScopedDocumentsFolder()
{
    if (hadOld_)
        Set(oldType_, old_);
    else
        RegDeleteValueW(key_.get(), L"Personal");
}

void ScopedDocumentsFolder::Set(DWORD type, const std::wstring& value)
{
    RegSetValueExW(key_.get(), L"Personal", 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
