#pragma once
// What the album writes for browsers: UTF-8 page files, the zone mark of the viewer pages,
// and the escapes that keep a file's name data wherever a page shows or links it.

#include <string>

#include "base/status_code.h"

StatusCode WriteTextFile(const std::wstring& path, const std::string& bytes);
// The bytes with every line feed stored as carriage return and line feed, as a text-mode
// stream writes them.
StatusCode WriteTextModeFile(const std::wstring& path, const std::string& bytes);
// The file's ":Zone.Identifier" stream saying which security zone it came from (0: this
// computer). A volume without named streams makes this fail silently.
void MarkZoneIdentifier(const std::wstring& path, int zone);

// A text for a URL inside a single-quoted attribute. What a URL or the attribute would read
// as syntax is percent-encoded ("%", "&", "=", "'", "#", "?", "+", the double quote, "<", ">"
// and control characters); letters, digits, Japanese and "/ . - _ ( )" stay as they are.
// Blanks become %20 unless keepBlanks.
std::wstring UrlEscape(const std::wstring& text, bool keepBlanks = false);
// A text as HTML shows it: "&", "<", ">", the double quote and "'" as entities.
std::wstring HtmlEscape(const std::wstring& text);
