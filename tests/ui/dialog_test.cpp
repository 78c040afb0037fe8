#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "base/log_file.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"
#include "tests/support/test_window.h"
#include "ui/dpi_scaling.h"
#include "ui/dialog_base.h"
#include "ui/ui_seams.h"

namespace {

// A dialog that records what its handler sees and closes itself from a timer.
class RecordingDialog : public DialogBase {
public:
    std::vector<UINT> messages;
    HWND boundAtInit = nullptr;
    bool throwOnTimer = false;
    INT_PTR endWith = 0;

    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        if (message == WM_INITDIALOG) {
            boundAtInit = Window();
            SetTimer(window, 1, 50, nullptr);
        }
        if (message == WM_TIMER) {
            KillTimer(window, 1);
            if (throwOnTimer) {
                // The handler fails half-way; the dialog must still close from its own timer.
                SetTimer(window, 2, 50, nullptr);
                throwOnTimer = false;
                throw std::bad_alloc();
            }
            if (endWith)
                EndDialog(window, endWith);
            else
                PostMessageW(window, WM_CLOSE, 0, 0);  // the base ends with 0
            return 0;
        }
        return DialogBase::HandleMessage(window, message, wParam, lParam);
    }
};

TEST(DialogBaseTest, TheHandlerFirstSeesInitDialogAndTheObjectIsBound)
{
    RecordingDialog dialog;
    HWND out = nullptr;
    dialog.SetWindowHandleOut(&out);
    EXPECT_EQ(dialog.DoModal(nullptr), 0);
    // Nothing reaches the handler before the object is bound at WM_INITDIALOG; binding
    // itself sets the font, so WM_SETFONT may come just before.
    const auto init = std::find(dialog.messages.begin(), dialog.messages.end(), static_cast<UINT>(WM_INITDIALOG));
    ASSERT_NE(init, dialog.messages.end());
    for (auto before = dialog.messages.begin(); before != init; ++before)
        EXPECT_EQ(*before, static_cast<UINT>(WM_SETFONT));
    EXPECT_NE(dialog.boundAtInit, nullptr);
    EXPECT_EQ(out, dialog.boundAtInit);
    EXPECT_NE(std::find(dialog.messages.begin(), dialog.messages.end(), static_cast<UINT>(WM_DESTROY)),
              dialog.messages.end());

    dialog.endWith = 7;
    EXPECT_EQ(dialog.DoModal(nullptr), 7);  // shown again on the same object
}

class TemplateProbe : public DialogBase {
public:
    const DLGTEMPLATE* Build() { return BuildTemplate(); }
};

TEST(DialogBaseTest, TemplateIsOneBareHeader)
{
    TemplateProbe probe;
    const DLGTEMPLATE* header = probe.Build();
    EXPECT_EQ(header->style, DialogBase::kDialogStyle);
    EXPECT_EQ(header->dwExtendedStyle, 0u);
    EXPECT_EQ(header->cdit, 0);
    EXPECT_EQ(header->cx, 320);
    EXPECT_EQ(header->cy, 240);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(header);
    for (size_t i = sizeof(DLGTEMPLATE); i < DialogBase::kTemplateBytes; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(DialogBaseTest, CenteringOverAMinimizedParentLandsMidScreen)
{
    TestWindow parent(100, 100, 400, 300, L"parent");
    TestWindow window(0, 0, 200, 100, L"centred");
    ShowWindow(parent.get(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(parent.get()));
    CenterOverParent(parent.get(), window.get());
    RECT rect{}, client{};
    GetWindowRect(window.get(), &rect);
    GetClientRect(window.get(), &client);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXFULLSCREEN) - client.right) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYFULLSCREEN) - client.bottom) / 2);

    ShowWindow(parent.get(), SW_RESTORE);
    CenterOverParent(parent.get(), window.get());
    RECT parentRect{};
    GetWindowRect(parent.get(), &parentRect);
    GetWindowRect(window.get(), &rect);
    EXPECT_EQ(rect.left, (parentRect.right - parentRect.left - client.right) / 2 + parentRect.left);
}

TEST(DialogBaseTest, MetricsOfADialog)
{
    TestWindow window(0, 0, 300, 200);
    const ClientMetrics metrics = GetDialogMetrics(window.get(), WindowDpi(window.get()));
    RECT client{};
    GetClientRect(window.get(), &client);
    EXPECT_EQ(metrics.width, client.right);
    EXPECT_EQ(metrics.height, client.bottom);
    EXPECT_GT(metrics.charWidth, 0);
    EXPECT_GT(metrics.charHeight, 0);
}

TEST(DialogBaseTest, AnExceptionInTheHandlerIsStoppedAndLogged)
{
    TempFolder folder;
    g_Log.SetPath(folder.File(L"log.txt"));
    RecordingDialog dialog;
    dialog.throwOnTimer = true;
    EXPECT_EQ(dialog.DoModal(nullptr), 0);  // closed by its next timer, as if nothing had been thrown
    g_Log.SetPath(L"");
    EXPECT_NE(ReadUtf16Text(folder.File(L"log.txt")).find(L"SubClassDialogBase_CL: 例外のため処理を中断しました (std::bad_alloc)"),
              std::wstring::npos);
}

std::wstring g_lastBox;
int RecordBox(HWND, const wchar_t* text, const wchar_t* caption, UINT)
{
    g_lastBox = std::wstring(caption) + L": " + text;
    return IDYES;
}

TEST(UiSeamsTest, TestsCanAnswerForTheUser)
{
    const UiSeams saved = ActiveUiSeams();
    ActiveUiSeams().messageBox = &RecordBox;
    EXPECT_EQ(ShowMessageBox(nullptr, L"本当に？", L"お知らせ", MB_YESNO), IDYES);
    EXPECT_EQ(g_lastBox, L"お知らせ: 本当に？");
    ActiveUiSeams() = saved;
    EXPECT_EQ(ActiveUiSeams().messageBox, RealUiSeams().messageBox);
}

}  // namespace
