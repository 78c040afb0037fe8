#pragma once

#include "base/version_number.h"

// The product's name and version as the user and the update check see them.
inline constexpr wchar_t kProductName[] = L"Kasumiro";
inline constexpr wchar_t kProductVersion[] = L"" KASUMIRO_VERSION_TEXT;

// The product's support site. Its host is the only one the program ever sends the user to
// from an address it was given over the network.
inline constexpr wchar_t kSupportSiteHost[] = L"kasumiro.jp";
inline constexpr wchar_t kSupportSiteAddress[] = L"https://kasumiro.jp/support/";
