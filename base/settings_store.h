#pragma once
// The settings store: one UTF-16 INI file, read and written through the platform's profile
// functions. No cache: every read goes to the file, every write changes it at once.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/base_limits.h"

// The settings file in the program's data folder, and the section of its own values. Both are
// names of files already on users' disks: they stay as they are.
inline constexpr wchar_t kSettingsFileName[] = L"Lumidex.ini";
inline constexpr wchar_t kAppSettingsSection[] = L"APP_INFO";

class SettingsStore {
public:
    static constexpr int kStringChars = 4096;  // a longer value is read again, as long as a path

    SettingsStore() = default;
    virtual ~SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Creates a missing file holding only the UTF-16LE byte-order mark, so that the profile
    // functions keep the whole file in UTF-16; then remembers the path.
    void Open(const std::wstring& path);
    // Reads and writes go to this file from now on; a missing file is not created.
    void UsePath(const std::wstring& path) { path_ = path; }
    const std::wstring& Path() const { return path_; }

    std::wstring GetString(const wchar_t* section, const wchar_t* key,
                           const wchar_t* defaultValue) const;
    std::int32_t GetInt(const wchar_t* section, const wchar_t* key,
                        std::int32_t defaultValue) const;
    // Reads the "%08x:%08x" form; an empty or missing value gives the default.
    std::uint64_t GetHex64(const wchar_t* section, const wchar_t* key,
                           std::uint32_t defaultHigh, std::uint32_t defaultLow) const;

    // Each write says whether it held: not without a file, nor when the file takes no writes
    // (read-only, in a read-only folder, on a full disk). Only the caller knows what the value
    // was for: it says a failure in the log (LogUnsaved), or why one changes nothing.
    [[nodiscard]] bool SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value) const;
    [[nodiscard]] bool SetInt(const wchar_t* section, const wchar_t* key, std::int32_t value) const;
    [[nodiscard]] bool SetStruct(const wchar_t* section, const wchar_t* key, const void* bytes,
                                 UINT byteCount) const;
    [[nodiscard]] bool DeleteSection(const wchar_t* section) const;
    // Says in the log that a write to the section did not hold.
    void LogUnsaved(const wchar_t* section) const;

    static std::wstring MakeItemKey(const wchar_t* prefix, int index);

    // Lists: a count key and the keys item0 .. item(count-1). Reading skips empty items;
    // replacing deletes the whole section first, so no item of a longer list survives.
    std::vector<std::wstring> GetList(const wchar_t* section) const;
    static constexpr std::int32_t kMaxListItems = base_limits::kMaxSettingsListItems;
    // A list's count key; -1, with a log line, for a count below 0 or above kMaxListItems.
    // GetList reads such a list as empty.
    std::int32_t GetListCount(const wchar_t* section) const;
    // True when every write of it held.
    [[nodiscard]] bool ReplaceList(const wchar_t* section, const std::vector<std::wstring>& items) const;
    // A fixed-size record written with SetStruct; false when it is missing or damaged.
    bool GetStruct(const wchar_t* section, const wchar_t* key, void* bytes, UINT byteCount) const;

private:
    std::wstring path_;
};

// The process-wide settings store.
extern SettingsStore g_SettingsStore;
