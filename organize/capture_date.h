#pragma once
// The day a file was taken, as a local calendar date-time: the Exif capture time of a HEIF
// file, else the Exif DateTimeOriginal of a picture, else the file's last-write time.

#include <windows.h>

#include <string>

// Which source gave the date.
enum class CaptureDateSource { kNone, kHeif, kExif, kLastWrite };

bool GetCaptureDate(const std::wstring& path, SYSTEMTIME* date);
bool GetHeifCaptureDate(const std::wstring& path, SYSTEMTIME* date);
// The file's last-write time as a local calendar date-time, without the range tests; false
// when the file cannot be opened (for no access to its content) or its times read.
bool GetLastWriteDate(const std::wstring& path, SYSTEMTIME* date);
// GetCaptureDate, saying which route answered (kNone when it answers false).
CaptureDateSource ResolveCaptureDate(const std::wstring& path, SYSTEMTIME* date);

// "%04d/%02d/%02d:%02d:%02d:%02d.%03d", as the log shows dates.
std::wstring CaptureDateLogText(const SYSTEMTIME& date);
