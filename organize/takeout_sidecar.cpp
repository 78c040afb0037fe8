#include "organize/takeout_sidecar.h"
#include "organize/organize_limits.h"

#include <windows.h>

#include <ctime>
#include <vector>

#include "base/handles.h"
#include "base/path_text.h"
#include "base/paths.h"
#include "base/whole_file.h"

namespace {

// The export cuts a sidecar's name to this many characters before ".json".
constexpr std::size_t kCutNameLength = 46;
constexpr std::wstring_view kSupplemental = L".SUPPLEMENTAL-METADATA";
// 1990-01-01, before which no camera wrote a date the export kept.
constexpr std::int64_t kEarliestTaken = 631152000;

// Where the value of the key that starts at `key` begins: after its colon and spaces.
std::size_t ValueAfter(std::string_view json, std::size_t key, std::size_t keyLength)
{
    std::size_t at = key + keyLength;
    while (at < json.size() && (json[at] == ' ' || json[at] == '\t' || json[at] == '\r' || json[at] == '\n'))
        ++at;
    if (at >= json.size() || json[at] != ':')
        return std::string_view::npos;
    ++at;
    while (at < json.size() && (json[at] == ' ' || json[at] == '\t' || json[at] == '\r' || json[at] == '\n'))
        ++at;
    return at < json.size() ? at : std::string_view::npos;
}

}  // namespace

std::vector<std::wstring> TakeoutSidecarStems(const std::wstring& name)
{
    std::vector<std::wstring> stems;
    auto add = [&stems](const std::wstring& base, const std::wstring& counter) {
        stems.push_back(base + counter);
        // ".supplemental-metadata" and the shorter forms of it later exports write.
        for (std::size_t length = 2; length <= kSupplemental.size(); ++length)
            stems.push_back(base + std::wstring(kSupplemental.substr(0, length)) + counter);
        // Cut at the export's limit: what is left of the name, or of the name and the suffix.
        const std::wstring whole = base + std::wstring(kSupplemental);
        if (counter.empty() && base.size() > kCutNameLength)
            stems.push_back(base.substr(0, kCutNameLength));
        if (counter.empty() && whole.size() > kCutNameLength)
            stems.push_back(whole.substr(0, kCutNameLength));
    };
    add(name, L"");
    // "IMG(1).JPG" has its sidecar as "IMG.JPG(1).json".
    const std::wstring extension = ExtensionOf(name);
    const std::wstring stem = name.substr(0, name.size() - extension.size());
    const std::size_t open = stem.rfind(L'(');
    if (open != std::wstring::npos && open > 0 && stem.back() == L')' && stem.size() - open > 2 &&
        stem.find_first_not_of(L"0123456789", open + 1) == stem.size() - 1)
        add(stem.substr(0, open) + extension, stem.substr(open));
    return stems;
}

std::optional<std::int64_t> PhotoTakenTimeInJson(std::string_view json, std::int64_t nowUnix)
{
    constexpr std::string_view kObject = "\"photoTakenTime\"";
    constexpr std::string_view kTimestamp = "\"timestamp\"";
    const std::size_t object = json.find(kObject);
    if (object == std::string_view::npos)
        return std::nullopt;
    const std::size_t open = ValueAfter(json, object, kObject.size());
    if (open == std::string_view::npos || json[open] != '{')
        return std::nullopt;
    const std::size_t close = json.find('}', open);
    const std::size_t key = json.find(kTimestamp, open);
    if (close == std::string_view::npos || key == std::string_view::npos || key > close)
        return std::nullopt;
    std::size_t at = ValueAfter(json, key, kTimestamp.size());
    if (at == std::string_view::npos)
        return std::nullopt;
    // Written as a string of digits; a bare number is taken too.
    const bool quoted = json[at] == '"';
    at += quoted ? 1 : 0;
    std::int64_t seconds = 0;
    std::size_t digits = 0;
    for (; at < json.size() && json[at] >= '0' && json[at] <= '9'; ++at, ++digits) {
        if (digits == 12)
            return std::nullopt;  // past any time of ours
        seconds = seconds * 10 + (json[at] - '0');
    }
    if (digits == 0 || (quoted && (at >= json.size() || json[at] != '"')))
        return std::nullopt;
    if (seconds < kEarliestTaken || seconds > nowUnix + 24 * 60 * 60)
        return std::nullopt;
    return seconds;
}

std::shared_ptr<const TakeoutSidecars::Names> TakeoutSidecars::JsonNamesIn(const std::wstring& folder)
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (const auto known = folders_.find(folder); known != folders_.end())
            return known->second;
    }
    auto names = std::make_shared<Names>();
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileExW(ExtendedLengthPath(folder + L"\\*.json").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
                name.size() > 5)
                names->insert(UpperCasePath(name.substr(0, name.size() - 5)));
        } while (FindNextFileW(find.get(), &found));
    }
    std::lock_guard<std::mutex> guard(lock_);
    return folders_.try_emplace(folder, std::move(names)).first->second;
}

std::optional<std::int64_t> TakeoutSidecars::TakenTime(const std::wstring& picturePath)
{
    const std::wstring folder = FolderOfPath(picturePath);
    const std::shared_ptr<const Names> names = JsonNamesIn(folder);
    if (names->empty())
        return std::nullopt;
    for (const std::wstring& stem : TakeoutSidecarStems(UpperCasePath(NameOfPath(picturePath)))) {
        if (!names->count(stem))
            continue;
        // The listing gave the name upper-cased; the file system takes it in any case.
        std::vector<std::uint8_t> bytes;
        if (!ReadFileBytes(folder + L"\\" + stem + L".json", organize_limits::kMaxSidecarBytes, &bytes))
            continue;
        const std::string_view json(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (const std::optional<std::int64_t> taken = PhotoTakenTimeInJson(json, std::time(nullptr)))
            return taken;
    }
    return std::nullopt;
}
