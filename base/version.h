#pragma once

// The product's name and version as the user and the update check see them.
inline constexpr wchar_t kProductName[] = L"Kasumiro";
inline constexpr wchar_t kProductVersion[] = L"1.1.7";
