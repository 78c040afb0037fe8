#pragma once
// What makes a file or folder itself, whatever path reaches it: its volume and its index on
// that volume. Two paths with one identity are one folder, through a link, a junction, a
// "..", another letter case or a short name alike.

#include <windows.h>

#include <compare>
#include <cstdint>
#include <string>

struct FileIdentity {
    std::uint32_t volume = 0;
    std::uint64_t index = 0;

    auto operator<=>(const FileIdentity&) const = default;
};

// False when the path cannot be opened to ask (missing, denied).
bool IdentityOf(const std::wstring& path, FileIdentity* identity);

// Where what the handle has open really lies, in the form the user types ("D:\...",
// "\\server\share\..."); empty when the system cannot say. `openedAs`: the path it was
// opened by.
std::wstring FinalPathOf(HANDLE file, const std::wstring& openedAs);

// Where an existing folder really lies, links on the way followed, without a trailing
// backslash; empty when it cannot be opened.
std::wstring FinalFolderPathOf(const std::wstring& folder);
// True when an entry whose final path (FinalPathOf) is given lies in the folder (given by
// where it really lies) under that name: false for what a link of that name leads to, where
// the platform opened the link's target.
bool LiesWhereListed(const std::wstring& finalPath, const std::wstring& folderFinal, const std::wstring& name);

// The folder a path really names, as one text: "/" read as a backslash, "." and ".."
// resolved, and links and junctions along the part that exists followed to where they lead
// (a part not made yet is kept as written). A drive is "D:"; no trailing backslash. Empty
// when the path cannot be made full.
std::wstring ResolvedFolderPath(const std::wstring& folder);
