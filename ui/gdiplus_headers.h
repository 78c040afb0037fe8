#pragma once
// GDI+ under NOMINMAX: its headers call min and max unqualified.

#include <windows.h>
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
