#pragma once
// Files that belong together and are organized together: in one folder, files of one base
// name (compared without case) that are a photo and a movie (a Live Photo), photos of several
// formats (RAW+JPEG, HEIC+JPEG), or a file and its sidecars (".xmp", ".aae", ".thm", a photo
// export's ".json"), the sidecar named after the base name or after the whole file name
// ("IMG_0001.xmp", "IMG_0001.CR2.xmp"). An edited render ("IMG_E1234.HEIC") has a name of its
// own and stays apart.

#include <cstddef>
#include <string>
#include <vector>

class OrganizeSettings;

enum class GroupRole {
    kPhoto,
    kMovie,
    kSidecar,  // a sidecar's extension: travels with its file, whatever the kind switches say
    kOther,    // a file of no group role (a sound, an unknown kind): always on its own
};

// The role of a file by its name, as the settings' lists know the extensions.
GroupRole GroupRoleOf(const std::wstring& name, const OrganizeSettings& settings);

struct GroupCandidate {
    std::wstring name;  // the file's name in its folder
    GroupRole role = GroupRole::kOther;
};

struct FileGroup {
    std::vector<std::size_t> members;  // indexes into the candidates, main files first, in their order
    std::wstring baseName;             // the name the members share, as the first main file spells it
};

// The groups among one folder's files: only groups of two or more; a file in none stays alone.
// A sidecar whose file is not among the candidates is in no group.
std::vector<FileGroup> FormFileGroups(const std::vector<GroupCandidate>& files);

// The name a member takes with a counter: the counter after the group's base name, so that
// every member's name keeps matching ("IMG_0001(1).CR2", "IMG_0001(1).CR2.xmp").
std::wstring CountedMemberName(const std::wstring& name, const std::wstring& baseName, int counter);

// The names of the group the file at `path` belongs to in its folder, itself included (by the
// names the folder lists); empty when it belongs to none.
std::vector<std::wstring> GroupOfFile(const std::wstring& path, const OrganizeSettings& settings);
