#include "base/settings_store.h"

#include <cwchar>

#include "base/base_limits.h"
#include "base/log_file.h"
#include "base/handles.h"

SettingsStore g_SettingsStore;

namespace {

std::uint32_t ParseHexPrefix(const std::wstring& text, size_t start, size_t maxDigits)
{
    std::uint32_t value = 0;
    for (size_t i = start; i < text.size() && i < start + maxDigits; ++i) {
        const wchar_t c = text[i];
        std::uint32_t digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

void SettingsStore::Open(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        g_Log.Write(L"Inifile新規作成 = %s", path.c_str());
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            static const unsigned char kBom[] = {0xFF, 0xFE};
            DWORD written = 0;
            WriteFile(file.get(), kBom, sizeof kBom, &written, nullptr);
        }
    }
    path_ = path;
}

std::wstring SettingsStore::GetString(const wchar_t* section, const wchar_t* key,
                                      const wchar_t* defaultValue) const
{
    // Without a file the profile functions would fall back to the system's win.ini.
    if (path_.empty())
        return defaultValue ? defaultValue : L"";
    // A value that fills the buffer may have been cut: read again with room for the longest
    // path, since a folder cut short would name another folder.
    std::wstring value(kStringChars, L'\0');
    DWORD length = GetPrivateProfileStringW(section, key, defaultValue, value.data(),
                                            static_cast<DWORD>(value.size()), path_.c_str());
    if (length + 1 >= value.size()) {
        value.resize(static_cast<std::size_t>(base_limits::kMaxPathChars) + 2);
        length = GetPrivateProfileStringW(section, key, defaultValue, value.data(),
                                          static_cast<DWORD>(value.size()), path_.c_str());
    }
    value.resize(length);
    return value;
}

std::int32_t SettingsStore::GetInt(const wchar_t* section, const wchar_t* key,
                                   std::int32_t defaultValue) const
{
    if (path_.empty())
        return defaultValue;
    return static_cast<std::int32_t>(
        GetPrivateProfileIntW(section, key, defaultValue, path_.c_str()));
}

std::uint64_t SettingsStore::GetHex64(const wchar_t* section, const wchar_t* key,
                                      std::uint32_t defaultHigh, std::uint32_t defaultLow) const
{
    const std::wstring text = GetString(section, key, L"");
    if (text.empty())
        return (static_cast<std::uint64_t>(defaultHigh) << 32) | defaultLow;
    // "%08x:%08x": the high half, a separator, the low half. A value too short for the low
    // half reads it as 0.
    const std::uint32_t high = ParseHexPrefix(text, 0, 8);
    const std::uint32_t low = ParseHexPrefix(text, 9, 8);
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

bool SettingsStore::SetString(const wchar_t* section, const wchar_t* key,
                              const wchar_t* value) const
{
    return !path_.empty() && WritePrivateProfileStringW(section, key, value, path_.c_str());
}

bool SettingsStore::SetInt(const wchar_t* section, const wchar_t* key, std::int32_t value) const
{
    wchar_t text[256];
    _snwprintf(text, 256, L"%d", value);
    text[255] = L'\0';
    return SetString(section, key, text);
}

bool SettingsStore::SetStruct(const wchar_t* section, const wchar_t* key, const void* bytes,
                              UINT byteCount) const
{
    return !path_.empty() && WritePrivateProfileStructW(section, key, const_cast<void*>(bytes), byteCount, path_.c_str());
}

bool SettingsStore::DeleteSection(const wchar_t* section) const
{
    return !path_.empty() && WritePrivateProfileStringW(section, nullptr, nullptr, path_.c_str());
}

void SettingsStore::LogUnsaved(const wchar_t* section) const
{
    g_Log.Write(L"設定を保存できません = [%s] %s", section, path_.c_str());
}

std::wstring SettingsStore::MakeItemKey(const wchar_t* prefix, int index)
{
    wchar_t key[256];
    _snwprintf(key, 256, L"%s%d", prefix, index);
    key[255] = L'\0';
    return key;
}

std::int32_t SettingsStore::GetListCount(const wchar_t* section) const
{
    const std::int32_t count = GetInt(section, L"count", 0);
    if (count >= 0 && count <= kMaxListItems)
        return count;
    g_Log.Write(L"設定の一覧の数が範囲外のため既定値を使います = [%s] count=%d", section, count);
    return -1;
}

std::vector<std::wstring> SettingsStore::GetList(const wchar_t* section) const
{
    std::vector<std::wstring> items;
    const std::int32_t count = GetListCount(section);
    for (std::int32_t i = 0; i < count; ++i) {
        std::wstring item = GetString(section, MakeItemKey(L"item", i).c_str(), L"");
        if (!item.empty())
            items.push_back(std::move(item));
    }
    return items;
}

bool SettingsStore::ReplaceList(const wchar_t* section, const std::vector<std::wstring>& items) const
{
    bool held = DeleteSection(section);
    // The count grows with each item, so that a list cut short by a failed write still
    // reads back as the items that made it.
    for (size_t i = 0; i < items.size(); ++i) {
        held = SetInt(section, L"count", static_cast<std::int32_t>(i + 1)) && held;
        held = SetString(section, MakeItemKey(L"item", static_cast<int>(i)).c_str(), items[i].c_str()) && held;
    }
    return held;
}

bool SettingsStore::GetStruct(const wchar_t* section, const wchar_t* key, void* bytes, UINT byteCount) const
{
    return !path_.empty() && GetPrivateProfileStructW(section, key, bytes, byteCount, path_.c_str());
}
