#pragma once
// One kind's extension list (photos, movies or sounds): the built-in extensions, the user's
// own, and a switch for each, kept in the settings store.

#include <string>
#include <vector>

#include "organize/extension_entry.h"

class ExtensionList {
public:
    // builtInTable: a null-terminated array of extensions.
    ExtensionList(const wchar_t* section, const wchar_t* const* builtInTable);
    virtual ~ExtensionList() = default;

    // Rebuilds the list from the built-in table and the settings; sorted afterwards.
    void Load();
    // Writes every entry, built-in ones too, so that their switches persist; a settings file
    // that does not take them is said in the log.
    void Save() const;
    // Looks the extension up after folding A to Z to lower case.
    bool Find(const std::wstring& extension, ExtensionEntry* found = nullptr) const;
    // False when the extension is in the list already.
    bool AddItem(ExtensionEntry item, bool sort);
    // Removes the entry at the index (later entries move up); false for an index out of range.
    bool RemoveAt(std::size_t index);

    // True for what can be a file's extension as the lists compare them: "." and 1 to 31
    // characters after it, none that a file name, a settings line or a pattern would read
    // otherwise (= ; \ / : * ? " < > |, a further ".", blanks and control characters).
    static bool IsUsableExtension(const std::wstring& extension);

    std::vector<ExtensionEntry>& Entries() { return entries_; }
    const std::vector<ExtensionEntry>& Entries() const { return entries_; }

private:
    void Sort();

    std::wstring section_;
    std::vector<ExtensionEntry> entries_;
    const wchar_t* const* builtInTable_;
};

extern const wchar_t* const kBuiltInPhotoExtensions[];
extern const wchar_t* const kBuiltInMovieExtensions[];
extern const wchar_t* const kBuiltInSoundExtensions[];
