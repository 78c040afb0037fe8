#pragma once

#include "base/version_number.h"

// The product's name and version as the user and the update check see them.
inline constexpr wchar_t kProductName[] = L"Kasumiro";
inline constexpr wchar_t kProductVersion[] = L"" KASUMIRO_VERSION_TEXT;

// The product's site, written once: its host is the only one the program ever sends the user
// to from an address it was given over the network, and the update check asks a host below it.
// A macro, so that the addresses below are made from it as the compiler joins literals.
#define KASUMIRO_SITE_HOST L"kasumiro.jp"
inline constexpr wchar_t kSupportSiteHost[] = KASUMIRO_SITE_HOST;
inline constexpr wchar_t kSupportSiteAddress[] = L"https://" KASUMIRO_SITE_HOST L"/support/";
// The product's page, linked from the foot of every album page.
inline constexpr wchar_t kProductPageAddress[] = L"https://" KASUMIRO_SITE_HOST L"/Lumidex/";
// The host the update check asks for the version file.
inline constexpr wchar_t kUpdateServerHost[] = L"update." KASUMIRO_SITE_HOST;
