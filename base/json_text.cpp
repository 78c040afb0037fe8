#include "base/json_text.h"

#include <cwchar>

#include "base/text_encoding.h"

namespace {

void AppendEscaped(std::wstring& out, wchar_t c)
{
    switch (c) {
    case L'"':
        out += L"\\\"";
        return;
    case L'\\':
        out += L"\\\\";
        return;
    case L'\n':
        out += L"\\n";
        return;
    case L'\r':
        out += L"\\r";
        return;
    case L'\t':
        out += L"\\t";
        return;
    default:
        break;
    }
    if (c < 0x20 || c == 0x7F) {
        wchar_t escape[8];
        std::swprintf(escape, 8, L"\\u%04x", static_cast<unsigned>(c));
        out += escape;
        return;
    }
    out += c;
}

}  // namespace

std::wstring JsonString(std::wstring_view text)
{
    std::wstring out = L"\"";
    for (wchar_t c : text)
        AppendEscaped(out, c);
    out += L'"';
    return out;
}

std::wstring JsonStringFromBytes(std::string_view bytes)
{
    std::wstring wide = FromUtf8(bytes);
    if (wide.empty()) {
        for (char c : bytes)
            wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return JsonString(wide);
}
