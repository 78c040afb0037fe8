#pragma once
// Reading and writing whole files in tests.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const Bytes& bytes);
bool FileExists(const std::wstring& path);
// Every file below a folder with its bytes, by its path below it ("\\sub\\name"); links
// to folders are passed by.
std::map<std::wstring, Bytes> FolderSnapshot(const std::wstring& folder);
std::uint64_t FileSize(const std::wstring& path);

// The UTF-16LE bytes of a text, as the program writes it to its own files.
Bytes Utf16Bytes(const std::wstring& text);
// A UTF-16LE file's text, without its byte-order mark.
std::wstring ReadUtf16Text(const std::wstring& path);
// Counts the non-overlapping occurrences of needle in text.
size_t CountOf(const std::wstring& text, const std::wstring& needle);

std::wstring Utf8ToWide(const std::string& text);
