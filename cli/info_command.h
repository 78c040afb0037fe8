#pragma once

// kasumiro-cli info FILE...: one JSON object per line with each file's metadata facts.
// Returns 0 when every file could be read, 1 otherwise.
int RunInfoCommand(int fileCount, wchar_t** files);
