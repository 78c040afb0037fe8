#include "organize/file_groups.h"

#include <windows.h>

#include <unordered_map>

#include "base/folder_walk.h"
#include "base/handles.h"
#include "base/path_text.h"
#include "base/paths.h"
#include "organize/organize_settings.h"
#include "organize/takeout_sidecar.h"

namespace {

bool IsSidecarExtension(const std::wstring& extension)
{
    const std::wstring lower = LowerAscii(extension);
    return lower == L".xmp" || lower == L".aae" || lower == L".thm" || lower == L".json";
}

std::wstring StemOf(const std::wstring& name)
{
    return name.substr(0, name.size() - ExtensionOf(name).size());
}

// The groups being formed: for each, its main files and sidecars, by candidate index.
struct Forming {
    std::vector<std::size_t> mains;
    std::vector<std::size_t> sidecars;
};

}  // namespace

GroupRole GroupRoleOf(const std::wstring& name, const OrganizeSettings& settings)
{
    const std::wstring extension = ExtensionOf(name);
    if (IsSidecarExtension(extension))
        return GroupRole::kSidecar;
    if (settings.PhotoList.Find(extension))
        return GroupRole::kPhoto;
    if (settings.MovieList.Find(extension))
        return GroupRole::kMovie;
    return GroupRole::kOther;
}

std::vector<FileGroup> FormFileGroups(const std::vector<GroupCandidate>& files)
{
    // The main files by their base name: a photo with another photo or a movie is one group;
    // movies alone of one name stay apart, each with its own sidecars.
    std::vector<Forming> forming;
    std::unordered_map<std::wstring, std::vector<std::size_t>> mainsByBase;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].role == GroupRole::kPhoto || files[i].role == GroupRole::kMovie)
            mainsByBase[UpperCasePath(StemOf(files[i].name))].push_back(i);
    }
    std::vector<std::size_t> groupOfMain(files.size(), SIZE_MAX);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (groupOfMain[i] != SIZE_MAX || (files[i].role != GroupRole::kPhoto && files[i].role != GroupRole::kMovie))
            continue;
        const std::vector<std::size_t>& same = mainsByBase[UpperCasePath(StemOf(files[i].name))];
        bool hasPhoto = false;
        for (const std::size_t member : same)
            hasPhoto = hasPhoto || files[member].role == GroupRole::kPhoto;
        forming.emplace_back();
        for (const std::size_t member : (hasPhoto ? same : std::vector<std::size_t>{i})) {
            groupOfMain[member] = forming.size() - 1;
            forming.back().mains.push_back(member);
        }
    }

    // Each sidecar joins the file it is named after: by the whole name first, then by the
    // base name, then as a photo export names its sidecars.
    std::unordered_map<std::wstring, std::size_t> ownerByName;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (groupOfMain[i] == SIZE_MAX)
            continue;
        ownerByName.try_emplace(UpperCasePath(files[i].name), i);
        ownerByName.try_emplace(UpperCasePath(StemOf(files[i].name)), i);
    }
    std::unordered_map<std::wstring, std::size_t> ownerByExportName;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].role != GroupRole::kSidecar)
            continue;
        const std::wstring extension = ExtensionOf(files[i].name);
        const std::wstring stem = UpperCasePath(StemOf(files[i].name));
        auto owner = ownerByName.find(stem);
        if (owner == ownerByName.end() && LowerAscii(extension) == L".json") {
            if (ownerByExportName.empty()) {
                for (std::size_t main = 0; main < files.size(); ++main) {
                    if (groupOfMain[main] == SIZE_MAX)
                        continue;
                    for (const std::wstring& exportStem : TakeoutSidecarStems(UpperCasePath(files[main].name)))
                        ownerByExportName.try_emplace(exportStem, main);
                }
            }
            owner = ownerByExportName.find(stem);
            if (owner == ownerByExportName.end())
                continue;
        } else if (owner == ownerByName.end()) {
            continue;
        }
        forming[groupOfMain[owner->second]].sidecars.push_back(i);
    }

    std::vector<FileGroup> groups;
    for (Forming& group : forming) {
        if (group.mains.size() + group.sidecars.size() < 2)
            continue;
        FileGroup formed;
        formed.baseName = StemOf(files[group.mains.front()].name);
        formed.members = std::move(group.mains);
        formed.members.insert(formed.members.end(), group.sidecars.begin(), group.sidecars.end());
        groups.push_back(std::move(formed));
    }
    return groups;
}

std::wstring CountedMemberName(const std::wstring& name, const std::wstring& baseName, int counter)
{
    // A sidecar a photo export named by a cut name may not hold the whole base: its counter
    // goes where a lone file's would.
    const bool sharesBase =
        name.size() >= baseName.size() && SamePathText(name.substr(0, baseName.size()), baseName);
    const std::size_t at = sharesBase ? baseName.size() : name.size() - ExtensionOf(name).size();
    return name.substr(0, at) + L"(" + std::to_wstring(counter) + L")" + name.substr(at);
}

std::vector<std::wstring> GroupOfFile(const std::wstring& path, const OrganizeSettings& settings)
{
    std::vector<GroupCandidate> files;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileW(ExtendedLengthPath(FolderOfPath(path) + L"\\*").c_str(), &found));
    if (!find)
        return {};
    do {
        if (!IsDotEntry(found) && !IsLinkEntry(found) && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(GroupCandidate{found.cFileName, GroupRoleOf(found.cFileName, settings)});
    } while (FindNextFileW(find.get(), &found));
    const std::wstring name = NameOfPath(path);
    for (const FileGroup& group : FormFileGroups(files)) {
        std::vector<std::wstring> names;
        bool holdsFile = false;
        for (const std::size_t member : group.members) {
            names.push_back(files[member].name);
            holdsFile = holdsFile || SamePathText(files[member].name, name);
        }
        if (holdsFile)
            return names;
    }
    return {};
}
