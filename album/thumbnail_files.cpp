#include "album/thumbnail_files.h"

#include "base/file_removal.h"
#include "base/log_file.h"
#include "base/status_code.h"
#include "base/path_text.h"
#include "base/text_encoding.h"
#include "base/whole_file.h"

namespace {

constexpr std::uint64_t kTicksPerTwoSeconds = 20000000;

std::uint64_t Ticks(const FILETIME& time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace

ThumbnailFiles::ThumbnailFiles(const std::wstring& cacheFolder, const std::wstring& albumFolder)
    : listPath_(cacheFolder.empty() ? std::wstring() : cacheFolder + L"\\" + kListName), albumFolder_(albumFolder)
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = Ticks(now) - Ticks(now) % kTicksPerTwoSeconds;
    stamp_.dwLowDateTime = static_cast<DWORD>(ticks);
    stamp_.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    if (listPath_.empty())
        return;

    std::vector<std::uint8_t> bytes;
    cache_formats::ThumbnailList list;
    if (ReadFileBytes(listPath_, cache_limits::kMaxThumbnailListBytes, &bytes) &&
        cache_formats::ParseThumbnailList(bytes.data(), bytes.size(), &list)) {
        for (auto& [relative, listed] : list) {
            // A list that is not whole and well-formed vouches for nothing.
            const std::wstring path = FromUtf8(relative), entry = FromUtf8(listed.entry);
            if (path.empty() || entry.empty()) {
                previous_.clear();
                break;
            }
            previous_[path] = Listed{entry, listed.size, listed.lastWrite};
        }
    }
    // A list that cannot be removed vouches only for files as they were when it was written
    // (their sizes and last-write times); a cache folder that takes no removal takes no save
    // either, and the build reports that.
    (void)RemoveEntryIfThere(listPath_);
}

std::wstring ThumbnailFiles::Relative(const std::wstring& path) const
{
    if (path.size() <= albumFolder_.size() + 1 || path.compare(0, albumFolder_.size(), albumFolder_) != 0 ||
        path[albumFolder_.size()] != L'\\')
        return L"";
    return path.substr(albumFolder_.size() + 1);
}

bool ThumbnailFiles::IsUntouched(const std::wstring& path, const WIN32_FIND_DATAW& found)
{
    const std::wstring relative = Relative(path);
    const auto listed = previous_.find(relative);
    const std::uint64_t size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    if (listed == previous_.end() || listed->second.size != size ||
        listed->second.lastWrite != Ticks(found.ftLastWriteTime) ||
        (found.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return false;
    const std::lock_guard<std::mutex> lock(mutex_);
    kept_[relative] = listed->second;
    return true;
}

bool ThumbnailFiles::Holds(const std::wstring& path, const std::wstring& entry)
{
    const std::wstring relative = Relative(path);
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto kept = kept_.find(relative);
    if (kept == kept_.end() || kept->second.entry != entry)
        return false;
    written_[relative] = kept->second;
    return true;
}

StatusCode ThumbnailFiles::Write(const std::wstring& path, const std::wstring& entry,
                                 const std::vector<std::uint8_t>& jpeg)
{
    bool stamped = false;
    const StatusCode written = ReplaceFileWhole(path, L".part", Durability::kCached, [&](HANDLE file) {
        const StatusCode status = WriteBytesTo(file, jpeg.data(), jpeg.size());
        // Set, the time stays as given when the file is closed (and moved into place): the
        // next build can tell the file untouched from the listing alone. A file whose time
        // could not be set is written again next time.
        stamped = status == kStatusOk && SetFileTime(file, nullptr, nullptr, &stamp_);
        return status;
    });
    const std::wstring relative = Relative(path);
    if (written != kStatusOk || !stamped || relative.empty())
        return written;
    const std::lock_guard<std::mutex> lock(mutex_);
    written_[relative] = Listed{entry, jpeg.size(), Ticks(stamp_)};
    return kStatusOk;
}

void ThumbnailFiles::RemoveUnclaimed()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    EntryRemover remover;
    for (const auto& [relative, listed] : kept_) {
        if (written_.count(relative))
            continue;
        const std::wstring path = albumFolder_ + L"\\" + relative;
        if (const StatusCode removed = remover.Remove(path); removed != kStatusOk)
            g_Log.Write(L"使われなくなったサムネイルを削除できません = %s %s", path.c_str(),
                        HexStatus(removed).c_str());
        // The year's folder goes with its last thumbnail; a folder still in use refuses and
        // stays, as it should.
        (void)RemoveEntry(FolderOfPath(path));
    }
}

StatusCode ThumbnailFiles::Save() const
{
    if (listPath_.empty())
        return kStatusOk;
    cache_formats::ThumbnailList list;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [relative, listed] : written_)
            list[ToUtf8(relative)] = cache_formats::ListedThumbnail{ToUtf8(listed.entry), listed.size, listed.lastWrite};
    }
    const std::string text = cache_formats::SerializeThumbnailList(list);
    return ReplaceFileWhole(listPath_, text.data(), text.size());
}
