#pragma once
// A fresh folder under the test prefix's temporary folder, deleted with all it holds when
// the test ends.

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // Path() + "\" + name.
    std::wstring File(const std::wstring& name) const;

private:
    std::wstring path_;
};

// Deletes a folder and everything in it; read-only files too.
void DeleteTree(const std::wstring& folder);
