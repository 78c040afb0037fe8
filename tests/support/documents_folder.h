#pragma once
// The user's Documents folder pointed elsewhere, as folder redirection does, so that a program
// started from a test or a benchmark keeps its data folder there and never in the real one.

#include <windows.h>

#include <string>

#include "base/handles.h"

// For as long as it lives; the previous value comes back afterwards.
class ScopedDocumentsFolder {
public:
    explicit ScopedDocumentsFolder(const std::wstring& folder);
    ~ScopedDocumentsFolder();
    ScopedDocumentsFolder(const ScopedDocumentsFolder&) = delete;
    ScopedDocumentsFolder& operator=(const ScopedDocumentsFolder&) = delete;

private:
    void Set(DWORD type, const std::wstring& value);

    UniqueRegistryKey key_;
    bool hadOld_ = false;
    DWORD oldType_ = REG_EXPAND_SZ;
    std::wstring old_;
};
