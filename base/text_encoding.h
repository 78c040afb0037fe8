#pragma once
// UTF-8 for what leaves the program as bytes: pipes, files, standard output.

#include <string>
#include <string_view>

std::string ToUtf8(std::wstring_view text);
// Empty for bytes that are not UTF-8.
std::wstring FromUtf8(std::string_view text);
