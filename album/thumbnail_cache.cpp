#include "album/thumbnail_cache.h"

#include <windows.h>

#include <cstring>

#include "album/album_text.h"
#include "album/cache_bytes.h"
#include "base/handles.h"
#include "base/path_text.h"
#include "base/text_encoding.h"

namespace {

// The trailer every entry ends with, after the JPEG bytes and the key text.
constexpr std::uint32_t kEntryMagic = 0x4354534B;  // "KSTC"
constexpr std::uint32_t kEntryVersion = 1;
constexpr std::size_t kTrailerBytes = 24;
// No thumbnail of a 320 x 240 box comes near this; a larger entry is not ours.
constexpr std::uint64_t kMaxEntryBytes = 4u << 20;

}  // namespace

std::string ThumbnailKey::Text() const
{
    return ToUtf8(relativePath) + "|" + std::to_string(size) + "|" + std::to_string(lastWrite) + "|" +
           std::to_string(boxWidth) + "x" + std::to_string(boxHeight) + "q" + std::to_string(quality);
}

ThumbnailCache_CL::ThumbnailCache_CL(const std::wstring& outputFolder) : folder_(outputFolder + L"\\" + kFolderName)
{
    WIN32_FIND_DATAW found{};
    UniqueFindHandle_CL search(FindFirstFileW((folder_ + L"\\*").c_str(), &found));
    if (!search)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.nFileSizeLow >= kTrailerBytes)
            listed_.insert(found.cFileName);
    } while (FindNextFileW(search.get(), &found));
}

std::wstring ThumbnailCache_CL::EntryName(const ThumbnailKey& key, bool thumbnail)
{
    const std::string text = key.Text();
    wchar_t name[32];
    _snwprintf(name, 32, thumbnail ? L"%016llx.thumb" : L"%016llx.none",
               static_cast<unsigned long long>(Fnv1a(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
    name[31] = L'\0';
    return name;
}

std::wstring ThumbnailCache_CL::EntryPath(const ThumbnailKey& key, bool thumbnail)
{
    const std::wstring name = EntryName(key, thumbnail);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        used_.insert(name);
    }
    return folder_ + L"\\" + name;
}

ThumbnailCache_CL::Entry ThumbnailCache_CL::Peek(const ThumbnailKey& key)
{
    const std::wstring thumbnail = EntryPath(key, true), none = EntryPath(key, false);
    if (listed_.count(NameOfPath(thumbnail)))
        return Entry::kThumbnail;
    std::vector<std::uint8_t> unused;
    return listed_.count(NameOfPath(none)) ? Read(key, false, &unused) : Entry::kMissing;
}

ThumbnailCache_CL::Entry ThumbnailCache_CL::Find(const ThumbnailKey& key, std::vector<std::uint8_t>* jpeg)
{
    const Entry found = Read(key, true, jpeg);
    return found == Entry::kMissing ? Read(key, false, jpeg) : found;
}

ThumbnailCache_CL::Entry ThumbnailCache_CL::Read(const ThumbnailKey& key, bool thumbnail, std::vector<std::uint8_t>* jpeg)
{
    jpeg->clear();
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(EntryPath(key, thumbnail), kMaxEntryBytes, &bytes) || bytes.size() < kTrailerBytes)
        return Entry::kMissing;
    const std::uint8_t* trailer = bytes.data() + bytes.size() - kTrailerBytes;
    const auto jpegBytes = static_cast<std::size_t>(GetLittle(trailer + 8, 4));
    const auto keyBytes = static_cast<std::size_t>(GetLittle(trailer + 12, 4));
    const std::string text = key.Text();
    // Every length is checked against what the file holds before it is used.
    if (GetLittle(trailer, 4) != kEntryMagic || GetLittle(trailer + 4, 4) != kEntryVersion ||
        keyBytes != text.size() || jpegBytes > bytes.size() - kTrailerBytes - keyBytes ||
        jpegBytes + keyBytes + kTrailerBytes != bytes.size() ||
        std::memcmp(bytes.data() + jpegBytes, text.data(), keyBytes) != 0 ||
        GetLittle(trailer + 16, 8) != Fnv1a(bytes.data(), jpegBytes + keyBytes))
        return Entry::kMissing;
    // An entry is what its name says it is.
    if ((jpegBytes == 0) == thumbnail)
        return Entry::kMissing;
    if (jpegBytes == 0)
        return Entry::kNotAPicture;
    jpeg->assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(jpegBytes));
    return Entry::kThumbnail;
}

bool ThumbnailCache_CL::Store(const ThumbnailKey& key, const std::vector<std::uint8_t>* jpeg)
{
    const std::string text = key.Text();
    std::vector<std::uint8_t> bytes;
    if (jpeg)
        bytes = *jpeg;
    bytes.insert(bytes.end(), text.begin(), text.end());
    const std::uint64_t checksum = Fnv1a(bytes.data(), bytes.size());
    PutLittle(bytes, kEntryMagic, 4);
    PutLittle(bytes, kEntryVersion, 4);
    PutLittle(bytes, jpeg ? jpeg->size() : 0, 4);
    PutLittle(bytes, text.size(), 4);
    PutLittle(bytes, checksum, 8);

    const std::wstring path = EntryPath(key, jpeg != nullptr);
    MakeFolder();
    // A stopped build leaves no half entry under the entry's name (and a half one would fail
    // its check anyway); workers writing one entry at once each have a partial name of their own.
    return ReplaceFileWhole(path, bytes.data(), bytes.size(), L".part" + std::to_wstring(GetCurrentThreadId()));
}

void ThumbnailCache_CL::MakeFolder()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (folderMade_)
        return;
    CreateDirectoryW(folder_.c_str(), nullptr);
    SetFileAttributesW(folder_.c_str(), FILE_ATTRIBUTE_HIDDEN);
    folderMade_ = true;
}

void ThumbnailCache_CL::RemoveUnused()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    WIN32_FIND_DATAW found{};
    UniqueFindHandle_CL search(FindFirstFileW((folder_ + L"\\*").c_str(), &found));
    if (!search)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (!used_.count(found.cFileName))
            DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}
