#include "tests/support/test_files.h"

#include <windows.h>

#include "base/handles.h"

Bytes ReadBytes(const std::wstring& path)
{
    Bytes bytes;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return bytes;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 30))
        return bytes;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size()))
        bytes.resize(read);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const Bytes& bytes)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                      nullptr) &&
            written == bytes.size());
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::uint64_t FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

Bytes Utf16Bytes(const std::wstring& text)
{
    Bytes bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

std::wstring ReadUtf16Text(const std::wstring& path)
{
    const Bytes bytes = ReadBytes(path);
    std::wstring text;
    size_t i = (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) ? 2 : 0;
    for (; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    return text;
}

size_t CountOf(const std::wstring& text, const std::wstring& needle)
{
    size_t count = 0;
    for (size_t at = text.find(needle); at != std::wstring::npos;
         at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

namespace {

void AddFilesBelow(const std::wstring& folder, const std::wstring& below, std::map<std::wstring, Bytes>* files)
{
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(FindFirstFileW((folder + below + L"\\*").c_str(), &found));
    if (!search)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        // A link is not followed: it may lead back up the tree.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            AddFilesBelow(folder, below + L"\\" + name, files);
        else
            (*files)[below + L"\\" + name] = ReadBytes(folder + below + L"\\" + name);
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace

std::map<std::wstring, Bytes> FolderSnapshot(const std::wstring& folder)
{
    std::map<std::wstring, Bytes> files;
    AddFilesBelow(folder, L"", &files);
    return files;
}
