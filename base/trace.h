#pragma once
// Trace lines: what the program is doing, on its standard output (not the log), for whoever
// started it from a console. Nothing when there is no standard output.

#include <string>

void WriteTraceLine(const std::wstring& line);
