#pragma once
// Files the organize tests make: pictures with a chosen Exif date, files with a chosen
// last-write time, folder trees.

#include <windows.h>

#include <string>

#include "tests/support/test_files.h"

// A small JPEG whose Exif DateTimeOriginal (and, when given, DateTime) hold these texts.
Bytes JpegWithDates(const std::string& dateTimeOriginal, const std::string& dateTime = "");
// A HEIF file whose Exif item holds DateTimeOriginal; without a date, an item without one.
Bytes HeifWithDate(const std::string& dateTimeOriginal);

// Writes the file, creating its folders, and returns its path.
std::wstring MakeFile(const std::wstring& path, const Bytes& bytes = {'x'});
// Sets the last-write time to this local calendar time.
void SetLocalLastWrite(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour,
                       WORD minute, WORD second);
