#pragma once
// One extension of a kind's list, with its own on/off switch.

#include <cstdint>
#include <string>

struct ExtensionEntry {
    std::int32_t enabled = 1;   // files with this extension are organized
    std::int32_t builtIn = 0;   // from the built-in table, not added by the user
    std::wstring extension;     // lower case, with its leading "."
};
