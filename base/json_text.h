#pragma once
// JSON text: the console program's machine-readable output, and the data the album hands its
// viewer.

#include <string>
#include <string_view>

// A quoted JSON string of a wide text.
std::wstring JsonString(std::wstring_view text);
// A quoted JSON string of bytes read from a file: UTF-8 where they are, else each byte as
// the character of the same number (Latin-1), so nothing is dropped.
std::wstring JsonStringFromBytes(std::string_view bytes);
