#pragma once
// The time a photo export's JSON sidecar says its picture was taken. An export of a photo
// library writes, beside each picture, "IMG_1234.HEIC.json" or
// "IMG_1234.HEIC.supplemental-metadata.json", its name cut short past 46 characters before
// ".json" ("IMG_1234.HEIC.supplemental-met.json"), and "IMG.jpg(1).json" for "IMG(1).jpg".
// The pictures themselves often carry no date left inside.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The names a sidecar of the picture named `upperName` (upper-cased) may have, upper-cased and
// without ".json".
std::vector<std::wstring> TakeoutSidecarStems(const std::wstring& upperName);

// The "timestamp" of the "photoTakenTime" object (seconds since 1970, UTC); nothing when the
// text has none or it is no plausible time (before 1990, after `nowUnix` and a day).
std::optional<std::int64_t> PhotoTakenTimeInJson(std::string_view json, std::int64_t nowUnix);

// The sidecars of the pictures of each folder, learned by one listing of the folder's JSON
// files when a picture there first asks. Safe to share between threads.
class TakeoutSidecars {
public:
    // The time the picture's sidecar says it was taken; nothing when it has none.
    std::optional<std::int64_t> TakenTime(const std::wstring& picturePath);

private:
    using Names = std::unordered_set<std::wstring>;  // upper-cased, without ".json"
    std::shared_ptr<const Names> JsonNamesIn(const std::wstring& folder);

    std::mutex lock_;
    std::unordered_map<std::wstring, std::shared_ptr<const Names>> folders_;
};
