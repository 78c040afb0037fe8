#include "album/album_text.h"

#include <windows.h>

#include <cwchar>

#include "base/whole_file.h"

StatusCode WriteTextFile(const std::wstring& path, const std::string& bytes)
{
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

StatusCode WriteTextModeFile(const std::wstring& path, const std::string& bytes)
{
    std::string lines;
    lines.reserve(bytes.size() + bytes.size() / 16);
    for (const char c : bytes) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    return WriteTextFile(path, lines);
}

void MarkZoneIdentifier(const std::wstring& path, int zone)
{
    char text[256];
    const int length = std::snprintf(text, sizeof text, "[ZoneTransfer]\r\nZoneId=%d\r\n", zone);
    // A page without its mark opens as any page on the disk does: nothing else depends on it.
    if (length > 0)
        (void)WriteTextFile(path + L":Zone.Identifier", std::string(text, static_cast<size_t>(length)));
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
