#pragma once

// kasumiro-cli info [--format N] FILE...: one JSON object per line with each file's
// metadata facts and the capture date the organizer would file it under (and, with
// --format, the folder). Returns 0 when every file could be read, 1 otherwise, 2 for a
// usage error.
int RunInfoCommand(int argc, wchar_t** argv);
