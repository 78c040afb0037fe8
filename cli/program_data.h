#pragma once
// The window program's data folder, which the console program shares: the log goes there
// when the folder exists (it is never created from here).

#include <string>

// The data folder ("Lumidex" under Documents, empty without one); the log is pointed into it
// when it exists.
std::wstring UseProgramLog();
