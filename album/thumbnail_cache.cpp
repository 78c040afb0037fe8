#include "album/thumbnail_cache.h"

#include <windows.h>

#include "album/cache_formats.h"
#include "base/file_removal.h"
#include "base/folder_walk.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "base/status_code.h"
#include "base/path_text.h"
#include "base/text_encoding.h"
#include "base/whole_file.h"

namespace {

// The plain files directly in the cache folder; its sub-folders are none of the cache's.
class CacheListing : public FolderWalker {
public:
    std::vector<WIN32_FIND_DATAW> files;

protected:
    bool Skips(const std::wstring&, const WIN32_FIND_DATAW& found) override
    {
        return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    void OnFile(const std::wstring&, const WIN32_FIND_DATAW& found) override { files.push_back(found); }
};

// Whether the folder is there as a plain folder: not a link, a junction or a file.
bool IsPlainFolder(const std::wstring& path)
{
    WIN32_FIND_DATAW found{};
    return FindEntry(path, &found) && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLinkEntry(found);
}

}  // namespace

std::string ThumbnailKey::Text() const
{
    return ToUtf8(relativePath) + "|" + std::to_string(size) + "|" + std::to_string(lastWrite) + "|" +
           std::to_string(boxWidth) + "x" + std::to_string(boxHeight) + "q" + std::to_string(quality);
}

std::wstring ThumbnailCache::PrepareFolder(const std::wstring& outputFolder)
{
    const std::wstring folder = outputFolder + L"\\" + kFolderName;
    WIN32_FIND_DATAW found{};
    if (!FindEntry(folder, &found) || IsPlainFolder(folder))
        return folder;
    // Made anew as a plain folder once what stands under the name is gone; what a link leads
    // to is never entered, emptied or written.
    if (const StatusCode removed = RemoveEntry(folder); removed != kStatusOk) {
        g_Log.Write(L"写真一覧のキャッシュを使えません = %s %s", folder.c_str(), HexStatus(removed).c_str());
        return std::wstring();
    }
    return folder;
}

ThumbnailCache::ThumbnailCache(const std::wstring& cacheFolder, AlbumWrites* writes)
    : folder_(cacheFolder), writes_(writes)
{
    if (folder_.empty())
        return;
    CacheListing listing;
    listing.Walk(folder_);
    for (const WIN32_FIND_DATAW& file : listing.files) {
        if (cache_formats::IsCacheFileName(file.cFileName))
            listed_.insert(file.cFileName);
    }
}

std::wstring ThumbnailCache::EntryName(const ThumbnailKey& key, bool thumbnail)
{
    return cache_formats::EntryName(key.Text(), thumbnail);
}

std::wstring ThumbnailCache::EntryPath(const ThumbnailKey& key, bool thumbnail)
{
    const std::wstring name = EntryName(key, thumbnail);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        used_.insert(name);
    }
    return folder_ + L"\\" + name;
}

ThumbnailCache::Entry ThumbnailCache::Peek(const ThumbnailKey& key)
{
    if (!Usable())
        return Entry::kMissing;
    const std::wstring thumbnail = EntryPath(key, true), none = EntryPath(key, false);
    if (listed_.count(NameOfPath(thumbnail)))
        return Entry::kThumbnail;
    std::vector<std::uint8_t> unused;
    return listed_.count(NameOfPath(none)) ? Read(key, false, &unused) : Entry::kMissing;
}

ThumbnailCache::Entry ThumbnailCache::Find(const ThumbnailKey& key, std::vector<std::uint8_t>* jpeg)
{
    jpeg->clear();
    if (!Usable())
        return Entry::kMissing;
    const Entry found = Read(key, true, jpeg);
    return found == Entry::kMissing ? Read(key, false, jpeg) : found;
}

ThumbnailCache::Entry ThumbnailCache::Read(const ThumbnailKey& key, bool thumbnail, std::vector<std::uint8_t>* jpeg)
{
    jpeg->clear();
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(EntryPath(key, thumbnail), cache_limits::kMaxEntryBytes, &bytes))
        return Entry::kMissing;
    std::size_t jpegBytes = 0;
    switch (cache_formats::CheckEntry(bytes.data(), bytes.size(), key.Text(), &jpegBytes)) {
    case cache_formats::EntryCheck::kDamaged:
        return Entry::kMissing;
    case cache_formats::EntryCheck::kNotAPicture:
        // An entry is what its name says it is.
        return thumbnail ? Entry::kMissing : Entry::kNotAPicture;
    case cache_formats::EntryCheck::kThumbnail:
        if (!thumbnail)
            return Entry::kMissing;
        break;
    }
    bytes.resize(jpegBytes);
    *jpeg = std::move(bytes);
    return Entry::kThumbnail;
}

bool ThumbnailCache::Store(const ThumbnailKey& key, const std::vector<std::uint8_t>* jpeg)
{
    if (!Usable() || !MakeFolder())
        return false;
    const std::vector<std::uint8_t> bytes = cache_formats::BuildEntry(key.Text(), jpeg);
    const std::wstring path = EntryPath(key, jpeg != nullptr);
    // A stopped build leaves no half entry under the entry's name (and a half one would fail
    // its check anyway); workers writing one entry at once each have a work name of their own.
    return writes_->Check(
        ReplaceFileWhole(path, bytes.data(), bytes.size(), L".part" + std::to_wstring(GetCurrentThreadId())), path);
}

bool ThumbnailCache::MakeFolder()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (folderMade_ || !Usable())
        return folderMade_;
    const bool made = CreateDirectoryW(ExtendedLengthPath(folder_).c_str(), nullptr);
    const DWORD error = made ? ERROR_SUCCESS : GetLastError();
    if (made)
        SetFileAttributesW(ExtendedLengthPath(folder_).c_str(), FILE_ATTRIBUTE_HIDDEN);
    folderMade_ = made || IsPlainFolder(folder_);
    if (!folderMade_)
        writes_->Check(error == ERROR_SUCCESS ? kStatusFail : StatusFromWin32(error), folder_);
    return folderMade_;
}

void ThumbnailCache::Release(const ThumbnailKey& key)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    used_.erase(EntryName(key, true));
}

void ThumbnailCache::RemoveUnused()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    // Were the folder swapped for a link since the build began, nothing in it is ours.
    if (!Usable() || !IsPlainFolder(folder_))
        return;
    CacheListing listing;
    listing.Walk(folder_);
    EntryRemover remover;
    for (const WIN32_FIND_DATAW& file : listing.files) {
        // One that cannot be removed now is only space: the next build removes it.
        if (cache_formats::IsCacheFileName(file.cFileName) && !used_.count(file.cFileName))
            (void)remover.Remove(folder_ + L"\\" + file.cFileName);
    }
}
