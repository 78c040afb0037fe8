#include "album/album_text.h"

#include <windows.h>

#include <cwchar>

#include "base/handles.h"

bool WriteFileBytes(const std::wstring& path, const void* bytes, std::size_t size)
{
    UniqueFile_CL file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return size == 0 || (WriteFile(file.get(), bytes, static_cast<DWORD>(size), &written, nullptr) && written == size);
}

bool ReplaceFileWhole(const std::wstring& path, const void* bytes, std::size_t size, const std::wstring& partialSuffix)
{
    const std::wstring partial = path + partialSuffix;
    if (WriteFileBytes(partial, bytes, size) && MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(partial.c_str());
    return false;
}

bool WriteTextFile(const std::wstring& path, const std::string& bytes)
{
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

bool ReadFileBytes(const std::wstring& path, std::uint64_t maxBytes, std::vector<std::uint8_t>* bytes)
{
    bytes->clear();
    UniqueFile_CL file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        return false;
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) && read == bytes->size())
        return true;
    bytes->clear();
    return false;
}

void WriteTextModeFile(const std::wstring& path, const std::string& bytes)
{
    std::string lines;
    lines.reserve(bytes.size() + bytes.size() / 16);
    for (const char c : bytes) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    WriteTextFile(path, lines);
}

void MarkZoneIdentifier(const std::wstring& path, int zone)
{
    char text[256];
    const int length = std::snprintf(text, sizeof text, "[ZoneTransfer]\r\nZoneId=%d\r\n", zone);
    if (length > 0)
        WriteTextFile(path + L":Zone.Identifier", std::string(text, static_cast<size_t>(length)));
}

std::wstring UrlEscape(const std::wstring& text, bool keepBlanks)
{
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        const bool syntax = c == L'%' || c == L'&' || c == L'=' || c == L'\'' || c == L'#' || c == L'?' ||
                            c == L'+' || c == L'"' || c == L'<' || c == L'>' || c < 0x20 || c == 0x7F ||
                            (c == L' ' && !keepBlanks);
        if (!syntax) {
            out += c;
            continue;
        }
        wchar_t escaped[4];
        std::swprintf(escaped, 4, L"%%%02X", static_cast<unsigned>(c));
        out += escaped;
    }
    return out;
}

std::wstring HtmlEscape(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        switch (c) {
        case L'&':
            out += L"&amp;";
            break;
        case L'<':
            out += L"&lt;";
            break;
        case L'>':
            out += L"&gt;";
            break;
        case L'"':
            out += L"&quot;";
            break;
        case L'\'':
            out += L"&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}
