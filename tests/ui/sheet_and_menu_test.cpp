// Property-sheet pages on the dialog base, owner-drawn menu items and image-list strips.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "base/paths.h"
#include "tests/support/screenshot.h"
#include "tests/support/test_window.h"
#include "ui/image_list.h"
#include "ui/popup_menu.h"
#include "ui/dialog_base.h"

namespace {

// A page that measures itself once it is up, then closes its sheet.
class MeasuringPage : public DialogBase {
public:
    HWND sheet = nullptr;
    ClientMetrics metrics{};
    RECT sheetRect{};
    bool shot = false;

    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG)
            SetTimer(window, 5, 200, nullptr);
        if (message == WM_TIMER && wParam == 5) {
            KillTimer(window, 5);
            metrics = GetPageMetrics(window, Dpi());
            GetWindowRect(sheet, &sheetRect);
            shot = SaveScreenshot(sheet, L"property_sheet");
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
            return 0;
        }
        return DialogBase::HandleMessage(window, message, wParam, lParam);
    }
};

TEST(PropertySheetTest, PagesBindToTheirObjectAndTheSheetCentresItself)
{
    TestWindow owner(100, 100, 800, 600, L"owner");
    MeasuringPage page;
    PROPSHEETPAGEW description = page.PageDescription(L"バージョン情報", &page.sheet);
    HPROPSHEETPAGE pages[] = {CreatePropertySheetPageW(&description)};
    ASSERT_NE(pages[0], nullptr);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_USECALLBACK | PSH_NOAPPLYNOW;
    header.hwndParent = owner.get();
    header.pszCaption = L"Kasumiro";
    header.nPages = 1;
    header.phpage = pages;
    header.pfnCallback = &DialogBase::PropertySheetCallback;
    PropertySheetW(&header);

    ASSERT_NE(page.sheet, nullptr);  // the page's out pointer got the sheet
    EXPECT_GT(page.metrics.width, 0);
    EXPECT_GT(page.metrics.height, 0);
    EXPECT_GT(page.metrics.charWidth, 0);
    RECT ownerRect{};
    GetWindowRect(owner.get(), &ownerRect);
    const int sheetCentre = (page.sheetRect.left + page.sheetRect.right) / 2;
    EXPECT_NEAR(sheetCentre, (ownerRect.left + ownerRect.right) / 2, 16);
    EXPECT_TRUE(page.shot);
}

TEST(ImageListTest, MenuStripLoadsAsTwentyFourPixelImages)
{
    ImageList images;
    ASSERT_TRUE(images.LoadStrip(GetExeFolder() + L"\\menu_image.bmp", 24, RGB(255, 0, 255)));
    int width = 0, height = 0;
    ASSERT_TRUE(images.IconSize(&width, &height));
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 24);
    EXPECT_GE(ImageList_GetImageCount(images.Handle()), 6);  // add is image 5, delete image 1
    ImageList missing;
    EXPECT_FALSE(missing.LoadStrip(GetExeFolder() + L"\\no-such.bmp", 24, RGB(255, 0, 255)));
}

COLORREF PixelAfterDrawing(const PopupMenu& menu, UINT id, UINT state)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 30);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = id;
    draw.itemState = state;
    draw.hDC = dc;
    draw.rcItem = RECT{0, 0, 200, 30};
    const COLORREF textBefore = GetTextColor(dc);
    EXPECT_TRUE(menu.OnDrawItem(&draw));
    EXPECT_EQ(GetTextColor(dc), textBefore);  // the device context is left as it was
    const COLORREF corner = GetPixel(dc, 199, 29);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return corner;
}

TEST(PopupMenuTest, OwnerDrawnItemsPaintTheirBackground)
{
    PopupMenu menu;
    ASSERT_TRUE(menu.CreatePopup());
    ImageList images;
    images.LoadStrip(GetExeFolder() + L"\\menu_image.bmp", 24, RGB(255, 0, 255));
    menu.SetImageList(images.Handle());
    menu.AddItem(4660, L"拡張子を追加する", 5, true);
    EXPECT_EQ(PixelAfterDrawing(menu, 4660, 0), GetSysColor(COLOR_MENU) & 0xFFFFFF);
    EXPECT_EQ(PixelAfterDrawing(menu, 4660, ODS_SELECTED), GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF);

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = 4660;
    ASSERT_TRUE(menu.OnMeasureItem(&measure));
    EXPECT_GE(measure.itemHeight, 25u);  // the 24-pixel icon and one more
}

}  // namespace
