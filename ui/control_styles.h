#pragma once
// The window styles the controls are created with. The values are fixed (the layouts and the
// tests were drawn up with them); the asserts keep each name honest about its bits.

#include <windows.h>
#include <commctrl.h>

namespace ControlStyle {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
static_assert(kChild == 0x56000000);

// A framed control with both scroll bars that takes the keyboard focus in turn.
constexpr DWORD kScrolledFrame = WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;

constexpr DWORD kListView = kChild | kScrolledFrame | LVS_REPORT | LVS_SHOWSELALWAYS;
static_assert(kListView == 0x56B10009);

constexpr DWORD kTreeView = kChild | kScrolledFrame | TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS;
static_assert(kTreeView == 0x56B10023);

// An edit box's style given as -1: several lines, a new line on Enter.
constexpr DWORD kMultiLineEdit = kChild | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
static_assert(kMultiLineEdit == 0x56211044);
// What every edit box gets besides the style it is given.
constexpr DWORD kEditBase = kChild | WS_TABSTOP;
static_assert(kEditBase == 0x56010000);

// A combo box's style given as 0: an editable drop-down that scrolls its text.
constexpr DWORD kDefaultComboBox = kChild | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL;
static_assert(kDefaultComboBox == 0x56310042);
// What every combo box gets besides the style it is given.
constexpr DWORD kComboBoxBase = kChild | WS_TABSTOP | CBS_DROPDOWN;
static_assert(kComboBoxBase == 0x56010002);

}  // namespace ControlStyle
