#pragma once
// The settings sheet the main window opens: the kinds to organize, the three extension lists
// and the version page; and the version page alone.

#include <windows.h>

// Shows the sheet "アプリ設定" over the owner; when changes were applied, saves the three lists.
INT_PTR ShowSettingsSheet(HWND owner);
// The version page alone, in a sheet "バージョン情報".
INT_PTR ShowVersionSheet(HWND owner);
