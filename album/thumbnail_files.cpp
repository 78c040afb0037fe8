#include "album/thumbnail_files.h"

#include <charconv>

#include "album/album_text.h"
#include "base/handles.h"
#include "base/path_text.h"
#include "base/text_encoding.h"

namespace {

constexpr char kHeader[] = "kasumiro thumbnail files 1";
// Lines of a few dozen bytes for every thumbnail; a larger list is not ours.
constexpr std::uint64_t kMaxListBytes = 64u << 20;
constexpr std::uint64_t kTicksPerTwoSeconds = 20000000;

std::uint64_t Ticks(const FILETIME& time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

bool ParseNumber(const std::string& text, std::uint64_t* value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, *value);
    return !text.empty() && error == std::errc() && stop == end;
}

}  // namespace

ThumbnailFiles_CL::ThumbnailFiles_CL(const std::wstring& cacheFolder, const std::wstring& albumFolder)
    : listPath_(cacheFolder + L"\\" + kListName), albumFolder_(albumFolder)
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = Ticks(now) - Ticks(now) % kTicksPerTwoSeconds;
    stamp_.dwLowDateTime = static_cast<DWORD>(ticks);
    stamp_.dwHighDateTime = static_cast<DWORD>(ticks >> 32);

    std::vector<std::uint8_t> bytes;
    if (ReadFileBytes(listPath_, kMaxListBytes, &bytes)) {
        // A list that is not whole and well-formed vouches for nothing.
        if (!Parse(std::string(bytes.begin(), bytes.end()), &previous_))
            previous_.clear();
    }
    DeleteFileW(listPath_.c_str());
}

bool ThumbnailFiles_CL::Parse(const std::string& text, List* list)
{
    std::size_t at = 0;
    bool header = true;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            return false;  // cut short
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (header) {
            if (line != kHeader)
                return false;
            header = false;
            continue;
        }
        // entry TAB size TAB last-write TAB path
        const std::size_t first = line.find('\t');
        const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        const std::size_t third = second == std::string::npos ? second : line.find('\t', second + 1);
        if (third == std::string::npos)
            return false;
        Listed listed;
        listed.entry = FromUtf8(line.substr(0, first));
        const std::wstring path = FromUtf8(line.substr(third + 1));
        if (listed.entry.empty() || path.empty() ||
            !ParseNumber(line.substr(first + 1, second - first - 1), &listed.size) ||
            !ParseNumber(line.substr(second + 1, third - second - 1), &listed.lastWrite))
            return false;
        (*list)[path] = std::move(listed);
    }
    return !header;
}

std::wstring ThumbnailFiles_CL::Relative(const std::wstring& path) const
{
    if (path.size() <= albumFolder_.size() + 1 || path.compare(0, albumFolder_.size(), albumFolder_) != 0 ||
        path[albumFolder_.size()] != L'\\')
        return L"";
    return path.substr(albumFolder_.size() + 1);
}

bool ThumbnailFiles_CL::IsUntouched(const std::wstring& path, const WIN32_FIND_DATAW& found)
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

bool ThumbnailFiles_CL::Holds(const std::wstring& path, const std::wstring& entry)
{
    const std::wstring relative = Relative(path);
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto kept = kept_.find(relative);
    if (kept == kept_.end() || kept->second.entry != entry)
        return false;
    written_[relative] = kept->second;
    return true;
}

bool ThumbnailFiles_CL::Write(const std::wstring& path, const std::wstring& entry,
                              const std::vector<std::uint8_t>& jpeg)
{
    {
        UniqueFile_CL file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), jpeg.data(), static_cast<DWORD>(jpeg.size()), &written, nullptr) ||
            written != jpeg.size())
            return false;
        // Set, the time stays as given when the file is closed: the next build can tell the
        // file untouched from the listing alone. A file whose time could not be set is
        // written again next time.
        if (!SetFileTime(file.get(), nullptr, nullptr, &stamp_))
            return true;
    }
    const std::wstring relative = Relative(path);
    if (relative.empty())
        return true;
    const std::lock_guard<std::mutex> lock(mutex_);
    written_[relative] = Listed{entry, jpeg.size(), Ticks(stamp_)};
    return true;
}

void ThumbnailFiles_CL::RemoveUnclaimed()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [relative, listed] : kept_) {
        if (written_.count(relative))
            continue;
        const std::wstring path = albumFolder_ + L"\\" + relative;
        DeleteFileW(path.c_str());
        // The year's folder goes with its last thumbnail (a folder still in use stays).
        RemoveDirectoryW(FolderOfPath(path).c_str());
    }
}

bool ThumbnailFiles_CL::Save() const
{
    std::string text = std::string(kHeader) + "\n";
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [relative, listed] : written_) {
            text += ToUtf8(listed.entry) + "\t" + std::to_string(listed.size) + "\t" + std::to_string(listed.lastWrite) +
                    "\t" + ToUtf8(relative) + "\n";
        }
    }
    return ReplaceFileWhole(listPath_, text.data(), text.size());
}
