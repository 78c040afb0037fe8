#pragma once
// Where the program finds its own files and keeps the user's.

#include <string>

#include "base/path_text.h"

// The running executable's folder, without a trailing backslash; the album template and
// the menu bitmap ship beside it.
std::wstring GetExeFolder();

// True when "c:\MyHome.txt" exists: on our own machines the program opens no browser.
bool IsDeveloperMachine();

// "Lumidex" under the user's Documents folder; empty when there is no Documents folder.
std::wstring DefaultDataFolder();

// The data folder fixed at start-up; empty before, and when the Documents folder could not
// be found.
const std::wstring& DataFolder();
void SetDataFolder(const std::wstring& folder);

// The full path of a path as the system makes it ("/" read as a backslash, "." and ".."
// resolved, a relative path taken from the current folder); empty when it cannot.
std::wstring FullPathOf(const std::wstring& path);

// The form of a path that the file functions take at any length Windows allows (32,767
// characters) and with names that end in a dot or a space: "\\?\D:\..." or
// "\\?\UNC\server\share\...". That form is taken as it stands, so a path the system would
// have to read first (relative, or with "/", "." or "..") is made full first. Only the calls
// to the system get it: what the user reads stays as they wrote it.
std::wstring ExtendedLengthPath(const std::wstring& path);
// True when the system's file functions can name the full path, in the form above.
bool FitsPathLimit(const std::wstring& path);

// True when two paths are the same text but for case, as the file system compares names.
bool SamePathText(const std::wstring& a, const std::wstring& b);
// The path upper-cased as the file system folds case: the key under which it takes two names
// that differ in case as one.
std::wstring UpperCasePath(std::wstring path);
