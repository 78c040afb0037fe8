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

// True when two paths are the same text but for case, as the file system compares names.
bool SamePathText(const std::wstring& a, const std::wstring& b);
// The path upper-cased as the file system folds case: the key under which it takes two names
// that differ in case as one.
std::wstring UpperCasePath(std::wstring path);
