#include "organize/extension_list.h"

#include <algorithm>
#include <string_view>

#include "base/settings_store.h"
#include "base/log_file.h"
#include "base/path_text.h"
#include "organize/organize_limits.h"

const wchar_t* const kBuiltInPhotoExtensions[] = {
    L".bmp", L".png", L".jpg", L".jpeg", L".heif", L".heic", L".avif", L".gif",  L".cr2",
    L".crw", L".dng", L".nef", L".orf",  L".rw2",  L".pef",  L".arw",  L".sr2",  L".srf",
    L".tif", L".tiff", L".webp", L".cr3", L".raf", L".jxl", nullptr};

const wchar_t* const kBuiltInMovieExtensions[] = {
    L".3g2", L".3gp",  L".3gp2", L".3gpp", L".asf",  L".asx",  L".avi", L".divx", L".flv",
    L".m1v", L".m2t",  L".m2ts", L".m2v",  L".m4v",  L".mkv",  L".mod", L".mov",  L".mp2v",
    L".mp4", L".mp4v", L".mpa",  L".mpe",  L".mpeg", L".mpg",  L".mpv2", L".mts", L".ts",
    L".tts", L".wm",   L".wmv",  L".wmx",  L".wvx",  L".xvid", L".rm",  L".rmvb", L".ogg",
    L".webm", L".iso", L".vob",  L".moi",  L".pgi",  L".hevc", nullptr};

const wchar_t* const kBuiltInSoundExtensions[] = {L".wav", L".mp3", L".m4a", L".aac", nullptr};

ExtensionList::ExtensionList(const wchar_t* section, const wchar_t* const* builtInTable)
    : section_(section), builtInTable_(builtInTable)
{
}

bool ExtensionList::Find(const std::wstring& extension, ExtensionEntry* found) const
{
    const std::wstring wanted = LowerAscii(extension);
    for (const ExtensionEntry& entry : entries_) {
        if (entry.extension == wanted) {
            if (found)
                *found = entry;
            return true;
        }
    }
    return false;
}

bool ExtensionList::AddItem(ExtensionEntry item, bool sort)
{
    item.extension = LowerAscii(item.extension);
    if (Find(item.extension))
        return false;
    entries_.push_back(std::move(item));
    if (sort)
        Sort();
    return true;
}

bool ExtensionList::RemoveAt(std::size_t index)
{
    if (index >= entries_.size())
        return false;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

namespace {
constexpr std::wstring_view kNotInAnExtension = L"=;\\/:*?\"<>|.";
}

bool ExtensionList::IsUsableExtension(const std::wstring& extension)
{
    if (extension.size() < 2 || extension.size() > organize_limits::kMaxExtensionChars + 1 || extension[0] != L'.')
        return false;
    for (std::size_t i = 1; i < extension.size(); ++i) {
        const wchar_t c = extension[i];
        // An ideographic space is a blank too.
        if (c <= 0x20 || c == 0x7F || c == 0x3000 || kNotInAnExtension.find(c) != std::wstring_view::npos)
            return false;
    }
    return true;
}

void ExtensionList::Sort()
{
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const ExtensionEntry& a, const ExtensionEntry& b) { return a.extension < b.extension; });
}

void ExtensionList::Load()
{
    for (const wchar_t* const* extension = builtInTable_; *extension; ++extension) {
        ExtensionEntry item;
        item.enabled = 1;
        item.builtIn = 1;
        item.extension = *extension;
        AddItem(std::move(item), false);
    }
    // A count out of bounds leaves the list as built in.
    const std::int32_t count = g_SettingsStore.GetListCount(section_.c_str());
    for (std::int32_t i = 0; i < count; ++i) {
        const std::wstring value =
            g_SettingsStore.GetString(section_.c_str(), SettingsStore::MakeItemKey(L"item", i).c_str(), L"");
        if (value.size() <= 2)
            continue;
        const std::int32_t enabled = value[0] == L'1' ? 1 : 0;
        const std::wstring extension = LowerAscii(value.substr(2));
        // Only what the add dialog could have stored: anything else would match files it
        // should not, or be written back into the settings as it came.
        if (!IsUsableExtension(extension)) {
            g_Log.Write(L"設定の拡張子が正しくないため読み飛ばしました = [%s] item%d", section_.c_str(), i);
            continue;
        }
        auto known = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const ExtensionEntry& entry) { return entry.extension == extension; });
        if (known != entries_.end()) {
            known->enabled = enabled;
            continue;
        }
        ExtensionEntry item;
        item.enabled = enabled;
        item.builtIn = 0;
        item.extension = extension;
        AddItem(std::move(item), false);
    }
    Sort();
}

void ExtensionList::Save() const
{
    bool held = g_SettingsStore.SetInt(section_.c_str(), L"count", static_cast<std::int32_t>(entries_.size()));
    for (size_t i = 0; i < entries_.size(); ++i) {
        const std::wstring value = std::to_wstring(entries_[i].enabled) + L"|" + entries_[i].extension;
        held = g_SettingsStore.SetString(section_.c_str(), SettingsStore::MakeItemKey(L"item", static_cast<int>(i)).c_str(),
                                         value.c_str()) &&
               held;
    }
    if (!held)
        g_SettingsStore.LogUnsaved(section_.c_str());
}
