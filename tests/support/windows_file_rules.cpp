#include "tests/support/windows_file_rules.h"

#include <cstring>
#include <cwchar>

namespace {

// A path Windows refuses in its plain form at this length.
constexpr std::size_t kPlainPathLimit = MAX_PATH;
// CreateDirectoryW leaves room for an 8.3 name in the new folder.
constexpr std::size_t kPlainFolderLimit = MAX_PATH - 12;

volatile long g_refused = 0;
volatile long g_longForm = 0;

// The system's own functions, as the program imported them before the limit was set.
decltype(&CreateFileW) g_createFile;
decltype(&CreateDirectoryW) g_createDirectory;
decltype(&CopyFileW) g_copyFile;
decltype(&MoveFileExW) g_moveFileEx;
decltype(&GetFileAttributesW) g_getFileAttributes;
decltype(&GetFileAttributesExW) g_getFileAttributesEx;
decltype(&SetFileAttributesW) g_setFileAttributes;
decltype(&FindFirstFileW) g_findFirstFile;
decltype(&FindFirstFileExW) g_findFirstFileEx;
decltype(&DeleteFileW) g_deleteFile;
decltype(&RemoveDirectoryW) g_removeDirectory;
decltype(&SetFileInformationByHandle) g_setFileInformation;

// True, with the error Windows gives, when Windows would refuse the path.
bool Refuses(const wchar_t* path, std::size_t limit = kPlainPathLimit)
{
    if (!path)
        return false;
    const std::size_t length = wcslen(path);
    if (std::wcsncmp(path, L"\\\\?\\", 4) == 0) {
        if (length >= kPlainPathLimit)
            InterlockedIncrement(&g_longForm);
        return false;
    }
    if (length < limit)
        return false;
    InterlockedIncrement(&g_refused);
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return true;
}

// True, with the error Windows gives, for a read-only file that is there (not a folder).
bool IsProtected(const wchar_t* path)
{
    const DWORD attributes = g_getFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    SetLastError(ERROR_ACCESS_DENIED);
    return true;
}

HANDLE WINAPI LimitedCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile)
{
    constexpr DWORD kWrites = GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA;
    if (Refuses(path) || ((access & kWrites) && disposition != CREATE_NEW && IsProtected(path)))
        return INVALID_HANDLE_VALUE;
    return g_createFile(path, access, share, security, disposition, flags, templateFile);
}
BOOL WINAPI LimitedCreateDirectory(LPCWSTR path, LPSECURITY_ATTRIBUTES security)
{
    return !Refuses(path, kPlainFolderLimit) && g_createDirectory(path, security);
}
BOOL WINAPI LimitedCopyFile(LPCWSTR from, LPCWSTR to, BOOL failIfExists)
{
    return !Refuses(from) && !Refuses(to) && (failIfExists || !IsProtected(to)) && g_copyFile(from, to, failIfExists);
}
BOOL WINAPI LimitedMoveFileEx(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    return !Refuses(from) && !Refuses(to) && (!(flags & MOVEFILE_REPLACE_EXISTING) || !IsProtected(to)) &&
           g_moveFileEx(from, to, flags);
}
DWORD WINAPI LimitedGetFileAttributes(LPCWSTR path)
{
    return Refuses(path) ? INVALID_FILE_ATTRIBUTES : g_getFileAttributes(path);
}
BOOL WINAPI LimitedGetFileAttributesEx(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID information)
{
    return !Refuses(path) && g_getFileAttributesEx(path, level, information);
}
BOOL WINAPI LimitedSetFileAttributes(LPCWSTR path, DWORD attributes)
{
    return !Refuses(path) && g_setFileAttributes(path, attributes);
}
HANDLE WINAPI LimitedFindFirstFile(LPCWSTR pattern, LPWIN32_FIND_DATAW found)
{
    return Refuses(pattern) ? INVALID_HANDLE_VALUE : g_findFirstFile(pattern, found);
}
HANDLE WINAPI LimitedFindFirstFileEx(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID found,
                                     FINDEX_SEARCH_OPS search, LPVOID filter, DWORD flags)
{
    return Refuses(pattern) ? INVALID_HANDLE_VALUE : g_findFirstFileEx(pattern, level, found, search, filter, flags);
}
BOOL WINAPI LimitedDeleteFile(LPCWSTR path)
{
    return !Refuses(path) && !IsProtected(path) && g_deleteFile(path);
}
// A read-only file refuses to be marked for removal through its handle as well.
BOOL WINAPI LimitedSetFileInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information, DWORD size)
{
    BY_HANDLE_FILE_INFORMATION facts{};
    if (kind == FileDispositionInfo && size >= sizeof(FILE_DISPOSITION_INFO) &&
        static_cast<const FILE_DISPOSITION_INFO*>(information)->DeleteFile && GetFileInformationByHandle(file, &facts) &&
        (facts.dwFileAttributes & FILE_ATTRIBUTE_READONLY) && !(facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return g_setFileInformation(file, kind, information, size);
}
BOOL WINAPI LimitedRemoveDirectory(LPCWSTR path)
{
    return !Refuses(path) && g_removeDirectory(path);
}

struct Replacement {
    const char* name;
    void* limited;
    void** original;
};

template <typename Function>
Replacement Replace(const char* name, Function limited, Function* original)
{
    return Replacement{name, reinterpret_cast<void*>(limited), reinterpret_cast<void**>(original)};
}

const Replacement* FindReplacement(const char* name)
{
    static const Replacement replacements[] = {
        Replace("CreateFileW", &LimitedCreateFile, &g_createFile),
        Replace("CreateDirectoryW", &LimitedCreateDirectory, &g_createDirectory),
        Replace("CopyFileW", &LimitedCopyFile, &g_copyFile),
        Replace("MoveFileExW", &LimitedMoveFileEx, &g_moveFileEx),
        Replace("GetFileAttributesW", &LimitedGetFileAttributes, &g_getFileAttributes),
        Replace("GetFileAttributesExW", &LimitedGetFileAttributesEx, &g_getFileAttributesEx),
        Replace("SetFileAttributesW", &LimitedSetFileAttributes, &g_setFileAttributes),
        Replace("FindFirstFileW", &LimitedFindFirstFile, &g_findFirstFile),
        Replace("FindFirstFileExW", &LimitedFindFirstFileEx, &g_findFirstFileEx),
        Replace("DeleteFileW", &LimitedDeleteFile, &g_deleteFile),
        Replace("RemoveDirectoryW", &LimitedRemoveDirectory, &g_removeDirectory),
        Replace("SetFileInformationByHandle", &LimitedSetFileInformation, &g_setFileInformation),
    };
    for (const Replacement& replacement : replacements) {
        if (std::strcmp(replacement.name, name) == 0)
            return &replacement;
    }
    return nullptr;
}

// Points one slot of the program's import table elsewhere.
void WriteSlot(void** slot, void* value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

WindowsFileRules::WindowsFileRules()
{
    g_refused = 0;
    g_longForm = 0;
    // Every function of ours is linked into this test program, so its import table is where
    // each of them finds the system's file functions.
    auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress != 0 && module->Name != 0; ++module) {
        if (_stricmp(reinterpret_cast<const char*>(base + module->Name), "kernel32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const Replacement* replacement = FindReplacement(reinterpret_cast<const char*>(byName->Name));
            if (!replacement)
                continue;
            auto** slot = reinterpret_cast<void**>(&slots->u1.Function);
            *replacement->original = *slot;
            patched_.push_back(Patched{slot, *slot});
            WriteSlot(slot, replacement->limited);
        }
    }
}

WindowsFileRules::~WindowsFileRules()
{
    for (const Patched& patched : patched_)
        WriteSlot(patched.slot, patched.original);
}

long WindowsFileRules::RefusedCalls()
{
    return g_refused;
}

long WindowsFileRules::LongFormCalls()
{
    return g_longForm;
}
