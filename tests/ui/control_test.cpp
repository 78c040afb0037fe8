#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <stdexcept>

#include "base/log_file.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"
#include "tests/support/test_window.h"
#include "ui/control_factory.h"
#include "ui/control_styles.h"
#include "ui/dpi_scaling.h"
#include "ui/popup_menu.h"
#include "ui/window_subclass.h"

namespace {

HFONT GuiFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

DWORD StyleOf(const Control* control)
{
    return static_cast<DWORD>(GetWindowLongPtrW(control->Window(), GWL_STYLE));
}

class ControlTest : public testing::Test {
protected:
    TestWindow host_{50, 50, 640, 480, L"controls"};
    ControlFactory factory_{0x1100};
};

TEST_F(ControlTest, ButtonsAndBoxesAreSizedFromTheirText)
{
    const SIZE text = MeasureText(GuiFont(), L"キャンセル");
    Control* button = factory_.At(factory_.CreateButton(host_.get(), 10, 20, L"キャンセル"));
    EXPECT_EQ(button->Width(), text.cx + 8);
    EXPECT_EQ(button->Height(), text.cy + 8);
    EXPECT_EQ(button->Kind(), Control::kButton);
    EXPECT_EQ(button->Id(), 0x1100);
    EXPECT_EQ(StyleOf(button) & 0xFFFF0000u, ControlStyle::kChild | WS_TABSTOP);
    EXPECT_EQ(button->ClientRectInParent().left, 10);
    EXPECT_EQ(button->ClientRectInParent().top, 20);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(button->Window(), WM_GETFONT, 0, 0)), GuiFont());

    const SIZE label = MeasureText(GuiFont(), L"写真一覧HTMLを生成する");
    Control* check = factory_.At(factory_.CreateCheckBox(host_.get(), 0, 0, L"写真一覧HTMLを生成する"));
    EXPECT_EQ(check->Width(), label.cx + 32);
    EXPECT_EQ(check->Height(), label.cy);
    EXPECT_EQ(check->Id(), 0x1101);
    EXPECT_FALSE(static_cast<CheckBox*>(check)->IsChecked());
    EXPECT_EQ(StyleOf(check) & 0xF, static_cast<DWORD>(BS_AUTOCHECKBOX));

    Control* label2 = factory_.At(factory_.CreateStatic(host_.get(), 0, 0, L"整理するフォルダの形式"));
    EXPECT_EQ(label2->Width(), MeasureText(GuiFont(), L"整理するフォルダの形式").cx);
}

// The styles' values are the static_asserts' of control_styles.h; here, that each control is
// made with its own.
TEST_F(ControlTest, EditsListsCombosAndTreesGetTheirStyles)
{
    const SIZE w = MeasureText(GuiFont(), L"W"), m = MeasureText(GuiFont(), L"M");
    Control* multi = factory_.At(factory_.CreateEdit(host_.get(), 0, 0, 10, static_cast<DWORD>(-1)));
    EXPECT_EQ(StyleOf(multi), ControlStyle::kMultiLineEdit);
    EXPECT_EQ(multi->Width(), 10 * w.cx + 6);
    EXPECT_EQ(multi->Height(), m.cy + 6);
    EXPECT_TRUE(GetWindowLongPtrW(multi->Window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    Control* single = factory_.At(factory_.CreateEdit(host_.get(), 0, 40, 32, ES_AUTOHSCROLL));
    EXPECT_EQ(StyleOf(single), ControlStyle::kEditBase | ES_AUTOHSCROLL);

    auto* list = factory_.Get<ListView>(factory_.CreateListView(host_.get(), 8, 300, 100));
    // Lists and trees show their scroll bars only when they need them.
    constexpr DWORD kScrollBars = WS_HSCROLL | WS_VSCROLL;
    EXPECT_EQ(StyleOf(list) & ~kScrollBars, ControlStyle::kListView & ~kScrollBars);
    EXPECT_EQ(list->ClientRectInParent().top, 0);
    list->AddColumn(L"整理したい写真ファイルのあるフォルダ", LVCFMT_LEFT, 200);
    list->InsertRow(0, L"D:\\DCIM");
    EXPECT_EQ(list->RowCount(), 1);
    EXPECT_EQ(list->RowText(0), L"D:\\DCIM");

    auto* combo = factory_.Get<ComboBox>(factory_.CreateComboBox(host_.get(), 321, 32, 20, CBS_DROPDOWNLIST, 0, 200));
    EXPECT_EQ(combo->Id(), 321);  // its own ID, not the factory's
    EXPECT_EQ(GetDlgCtrlID(combo->Window()), 321);
    for (const wchar_t* label : {L"YYYY", L"YYYYMM", L"YYYY-MM"})
        combo->AddItem(label, 0);
    EXPECT_EQ(combo->Count(), 3);
    combo->Select(2);
    EXPECT_EQ(combo->Selection(), 2);

    auto* tree = factory_.Get<TreeView>(factory_.CreateTreeView(host_.get(), 300, 0, 320, 320, ControlStyle::kTreeView));
    EXPECT_EQ(StyleOf(tree) & ~kScrollBars, ControlStyle::kTreeView & ~kScrollBars);
    HTREEITEM root = tree->InsertItem(TVI_ROOT, TVI_LAST, L"D:\\写真", 0, 0, 0);
    ASSERT_NE(root, nullptr);
    EXPECT_NE(tree->InsertItem(root, TVI_LAST, L"2024", 0, 0, 7), nullptr);
    EXPECT_EQ(SendMessageW(tree->Window(), TVM_GETCOUNT, 0, 0), 2);
}

TEST_F(ControlTest, LayoutHelpersStackAndPairControls)
{
    const int a = factory_.CreateButton(host_.get(), 30, 0, L"一");
    const int b = factory_.CreateButton(host_.get(), 40, 0, L"二二");
    const int c = factory_.CreateButton(host_.get(), 50, 0, L"三三三");
    factory_.StackVertically({a, b, c, -1}, 10);
    EXPECT_EQ(factory_.At(a)->ClientRectInParent().top, 10);
    EXPECT_EQ(factory_.At(b)->ClientRectInParent().top, 10 + factory_.At(a)->Height() + 4);
    EXPECT_EQ(factory_.At(c)->ClientRectInParent().left, 50);

    factory_.PlaceButtonPair(a);
    RECT client{};
    GetClientRect(host_.get(), &client);
    const RECT right = factory_.At(b)->ClientRectInParent();
    const RECT left = factory_.At(a)->ClientRectInParent();
    EXPECT_EQ(right.right, client.right - 4);
    EXPECT_EQ(right.bottom, client.bottom - 4);
    EXPECT_EQ(left.right, right.left - 4);
    EXPECT_EQ(left.top, right.top);
}

TEST_F(ControlTest, ScaledFontIsLargerAndBolder)
{
    Control* button = factory_.At(factory_.CreateButton(host_.get(), 0, 0, L"写真整理の実行"));
    button->SetScaledFont(1.2, 600);
    LOGFONTW base{}, scaled{};
    GetObjectW(GuiFont(), sizeof base, &base);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(button->Window(), WM_GETFONT, 0, 0)), sizeof scaled, &scaled);
    EXPECT_EQ(scaled.lfHeight, static_cast<LONG>(base.lfHeight * 1.2));
    EXPECT_EQ(scaled.lfWeight, 600);
    button->SetScaledFont(1.2, 600);  // the old scaled font goes, the control keeps working
    EXPECT_NE(button->Font(), GuiFont());
}

// Swallows every text change of the hooked window; counts the hooks that heard a message.
int g_heard = 0;
LRESULT SwallowText(WindowSubclass& hook, HWND, UINT message, WPARAM, LPARAM)
{
    ++g_heard;
    if (message != WM_SETTEXT)
        return 0;
    hook.SetHandled(true);
    return TRUE;
}

LRESULT CountOnly(WindowSubclass&, HWND, UINT, WPARAM, LPARAM)
{
    ++g_heard;
    return 0;
}

LRESULT ThrowOnText(WindowSubclass&, HWND, UINT message, WPARAM, LPARAM)
{
    if (message == WM_SETTEXT)
        throw std::runtime_error("a handler that failed");
    return 0;
}

TEST_F(ControlTest, HandledMessagesNeverReachTheControl)
{
    Control* label = factory_.At(factory_.CreateStatic(host_.get(), 0, 0, L"before"));
    ASSERT_TRUE(label->Subclass(&SwallowText, this));
    EXPECT_EQ(label->Hook().Owner(), this);
    label->SetText(L"after");
    EXPECT_EQ(label->GetText(), L"before");
    // Other messages still reach it.
    EXPECT_EQ(SendMessageW(label->Window(), WM_GETTEXTLENGTH, 0, 0), 6);
    label->Hook().Remove();
    label->SetText(L"restored");
    EXPECT_EQ(label->GetText(), L"restored");
}

TEST_F(ControlTest, HooksStackAndComeOffWithTheWindow)
{
    HWND edit = CreateWindowExW(0, L"Edit", L"foreign", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, host_.get(),
                                nullptr, nullptr, nullptr);
    WindowSubclass swallow, count;
    ASSERT_TRUE(swallow.Install(edit, &SwallowText, this));
    ASSERT_TRUE(count.Install(edit, &CountOnly, this));  // the newest hears first
    g_heard = 0;
    SetWindowTextW(edit, L"changed");
    wchar_t text[32] = {};
    GetWindowTextW(edit, text, 32);
    EXPECT_STREQ(text, L"foreign");
    EXPECT_GE(g_heard, 2);
    DestroyWindow(edit);
    // The window's last message took both hooks off: they know their window is gone.
    EXPECT_EQ(swallow.Window(), nullptr);
    EXPECT_EQ(count.Window(), nullptr);
}

TEST_F(ControlTest, AnExceptionInAHookStopsAtTheBarrierAndIsLogged)
{
    TempFolder folder;
    g_Log.SetPath(folder.File(L"log.txt"));
    HWND edit = CreateWindowExW(0, L"Edit", L"kept", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, host_.get(), nullptr,
                                nullptr, nullptr);
    WindowSubclass hook;
    ASSERT_TRUE(hook.Install(edit, &ThrowOnText, this));
    SetWindowTextW(edit, L"changed");  // the window goes on working
    wchar_t text[32] = {};
    GetWindowTextW(edit, text, 32);
    EXPECT_STREQ(text, L"changed");
    DestroyWindow(edit);
    g_Log.SetPath(L"");
    EXPECT_NE(ReadUtf16Text(folder.File(L"log.txt")).find(L"SubClass_CL: 例外のため処理を中断しました (a handler that failed)"),
              std::wstring::npos);
}

TEST(DpiScalingTest, DesignSizesScaleWithTheDpiOfTheWindow)
{
    const DpiScaling at144(144);
    EXPECT_EQ(at144.Scale(480), 720);
    EXPECT_EQ(at144.Scale(56), 84);
    EXPECT_EQ(DpiScaling(96).Scale(480), 480);

    TestWindow window(10, 10, 100, 100);
    at144.MoveScaled(window.get(), 20, 30, 480, 56, true);
    RECT rect{};
    GetWindowRect(window.get(), &rect);
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right - rect.left, 720);
    EXPECT_EQ(rect.bottom - rect.top, 84);
    // Our windows are drawn at the DPI the system tells, which here is the screen's.
    EXPECT_EQ(WindowDpi(window.get()), SystemDpi());
}

// What a move to a monitor of twice the DPI does to a window's controls: fonts twice as
// large, each control sized anew from its text in that font, places and columns to scale.
TEST_F(ControlTest, ControlsFollowTheirWindowToAMonitorOfAnotherDpi)
{
    const UINT from = SystemDpi(), to = 2 * SystemDpi();
    Control* button = factory_.At(factory_.CreateButton(host_.get(), 10, 20, L"　参照　"));
    Control* check = factory_.At(factory_.CreateCheckBox(host_.get(), 10, 60, L"写真一覧HTMLを生成する"));
    Control* edit = factory_.At(factory_.CreateEdit(host_.get(), 10, 100, 8, ES_AUTOHSCROLL));
    Control* bold = factory_.At(factory_.CreateButton(host_.get(), 10, 140, L"写真整理の実行"));
    bold->SetScaledFont(1.2, 600);
    auto* list = factory_.Get<ListView>(factory_.CreateListView(host_.get(), 10, 200, 100));
    list->AddColumn(L"拡張子", LVCFMT_LEFT, 70);
    const RECT listBefore = list->ClientRectInParent();

    factory_.ApplyDpi(to);
    const auto heightOf = [](HFONT font) {
        LOGFONTW logical{};
        GetObjectW(font, sizeof logical, &logical);
        return std::abs(logical.lfHeight);
    };
    EXPECT_EQ(heightOf(button->Font()), 2 * heightOf(GuiFont()));
    EXPECT_EQ(heightOf(bold->Font()), static_cast<LONG>(2 * heightOf(GuiFont()) * 1.2));
    const SIZE text = MeasureText(button->Font(), L"　参照　");
    EXPECT_EQ(button->Width(), text.cx + ScaleToDpi(8, to));
    EXPECT_EQ(button->Height(), text.cy + ScaleToDpi(8, to));
    EXPECT_EQ(check->Width(), MeasureText(check->Font(), L"写真一覧HTMLを生成する").cx + ScaleToDpi(32, to));
    EXPECT_EQ(edit->Width(), 8 * MeasureText(edit->Font(), L"W").cx + ScaleToDpi(6, to));
    EXPECT_EQ(check->ClientRectInParent().top, 120);
    EXPECT_EQ(list->Width(), 2 * (listBefore.right - listBefore.left));
    EXPECT_EQ(SendMessageW(list->Window(), LVM_GETCOLUMNWIDTH, 0, 0), 140);

    // Back again: nothing drifts on the way.
    factory_.ApplyDpi(from);
    EXPECT_EQ(button->Font(), GuiFont());
    EXPECT_EQ(button->Width(), MeasureText(GuiFont(), L"　参照　").cx + 8);
    EXPECT_EQ(list->ClientRectInParent().top, listBefore.top);
    // Controls made after the move are made at the window's new DPI.
    factory_.ApplyDpi(to);
    Control* late = factory_.At(factory_.CreateStatic(host_.get(), 0, 0, L"整理するフォルダの形式"));
    EXPECT_EQ(heightOf(late->Font()), 2 * heightOf(GuiFont()));
}

TEST(PopupMenuTest, OwnerDrawnItemsAreMeasuredFromTheirLeftText)
{
    PopupMenu menu;
    ASSERT_TRUE(menu.CreatePopup());
    menu.AddItem(4660, L"拡張子を追加する", 5, true);
    menu.AddItem(4661, L"拡張子を削除する|Del", 1, false);
    EXPECT_EQ(GetMenuItemCount(menu.Handle()), 2);
    EXPECT_EQ(GetMenuState(menu.Handle(), 4661, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = 4661;
    ASSERT_TRUE(menu.OnMeasureItem(&measure));
    HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, GuiFont());
    SIZE extent{};
    GetTextExtentPoint32W(screen, L"拡張子を削除する", 8, &extent);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(measure.itemWidth, static_cast<UINT>(extent.cx + 48));
    EXPECT_EQ(measure.itemHeight, static_cast<UINT>(extent.cy + 1));

    measure.CtlType = ODT_BUTTON;
    EXPECT_FALSE(menu.OnMeasureItem(&measure));
    measure.CtlType = ODT_MENU;
    measure.itemID = 9999;
    EXPECT_FALSE(menu.OnMeasureItem(&measure));
}

}  // namespace
