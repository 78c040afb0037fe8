#include "organize/wanted_file_finder.h"

#include "base/log_file.h"
#include "base/path_text.h"
#include "base/status_code.h"
#include "organize/output_names.h"

bool WantedFileFinder::Skips(const std::wstring& folder, const WIN32_FIND_DATAW& found)
{
    const std::wstring name = found.cFileName;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return IsOwnFileName(name);  // a record, a half-done copy, a half-saved record
    // An album or its cache, in an input that was once an output folder.
    if (!IsOwnFolderName(name))
        return false;
    g_Log.Write(L"写真一覧のフォルダのため省略しました = %s\\%s", folder.c_str(), name.c_str());
    return true;
}

void WantedFileFinder::OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found)
{
    const std::wstring path = folderPath + L"\\" + found.cFileName;
    // The extension runs from the last "." of the whole path: a file without one in a folder
    // named with a dot gets that folder's tail, which no list holds.
    if (!settings_->ShouldOrganize(ExtensionOf(path)))
        return;
    if (IsDeviceName(found.cFileName)) {
        ++unreadable_;
        g_Log.Write(L"Windows がデバイスに使う名前のため整理できません = %s", path.c_str());
        return;
    }
    FileFacts facts;
    // A name that ends in a dot or a space is reached through the path form that keeps it.
    const bool dated = GatherFileFacts(OpenablePath(path), &found, &facts, settings_->DateRules(), nullptr, &sidecars_);
    // A file that cannot even be opened would fail its copy and stop the run there; it is
    // left out and counted instead, so that the rest is organized and the user hears of it.
    if (!facts.readable) {
        ++unreadable_;
        g_Log.Write(L"ファイルを読み込めません = %s", path.c_str());
        return;
    }
    if (dated)
        files_->push_back(std::move(facts));
}

void WantedFileFinder::OnUnreadableFolder(const std::wstring& folderPath, DWORD error)
{
    ++unreadable_;
    g_Log.Write(L"フォルダを読み込めません = %s 0x%08x", folderPath.c_str(), static_cast<unsigned>(StatusFromWin32(error)));
}

void WantedFileFinder::OnFolderWalkedAlready(const std::wstring& folderPath)
{
    g_Log.Write(L"検索済みのフォルダへのリンクのため省略しました = %s", folderPath.c_str());
}

void WantedFileFinder::OnLink(const std::wstring& path, const WIN32_FIND_DATAW&)
{
    g_Log.Write(L"リンクの先は整理しません = %s", path.c_str());
}

void WantedFileFinder::OnPathTooLong(const std::wstring& path)
{
    ++tooLong_;
    g_Log.Write(L"パスが長すぎるため整理できません = %s", path.c_str());
}
