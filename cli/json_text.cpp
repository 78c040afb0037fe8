#include "cli/json_text.h"

#include <cwchar>

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

// Decodes strict UTF-8 into UTF-16; false on any malformed sequence.
bool DecodeUtf8(std::string_view bytes, std::wstring* out)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        std::uint32_t code;
        std::size_t extra;
        if (b < 0x80) {
            code = b;
            extra = 0;
        } else if (b >= 0xC2 && b < 0xE0) {
            code = b & 0x1F;
            extra = 1;
        } else if (b >= 0xE0 && b < 0xF0) {
            code = b & 0x0F;
            extra = 2;
        } else if (b >= 0xF0 && b < 0xF5) {
            code = b & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (extra > bytes.size() - i - 1)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
        if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out->push_back(static_cast<wchar_t>(0xD800 | (code >> 10)));
            out->push_back(static_cast<wchar_t>(0xDC00 | (code & 0x3FF)));
        } else {
            out->push_back(static_cast<wchar_t>(code));
        }
        i += extra + 1;
    }
    return true;
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
    std::wstring wide;
    if (!DecodeUtf8(bytes, &wide)) {
        wide.clear();
        for (char c : bytes)
            wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return JsonString(wide);
}
