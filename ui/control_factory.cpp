#include "ui/control_factory.h"

#include <commctrl.h>

#include "ui/control_styles.h"

namespace {

using ControlStyle::kChild;
// What edit controls get instead of their object: they are never subclassed from it.
const LPVOID kEditMarker = reinterpret_cast<LPVOID>(static_cast<INT_PTR>(0x12345678));

HFONT GuiFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

int ControlFactory::TakeId()
{
    if (fixedId_) {
        const int id = fixedId_;
        fixedId_ = 0;
        return id;
    }
    return nextId_++;
}

int ControlFactory::CreateSized(std::unique_ptr<Control> control, DWORD exStyle,
                                const wchar_t* windowClass, const std::wstring& text, DWORD style, int x,
                                int y, int width, int height, HWND parent, LPVOID param)
{
    control->CreateWindowOf(exStyle, windowClass, text.c_str(), style, x, y, width, height, parent, TakeId(),
                            param ? param : control.get());
    return Add(std::move(control));
}

int ControlFactory::CreateStatic(HWND parent, int x, int y, const std::wstring& text)
{
    const SIZE size = MeasureText(GuiFont(), text);
    return CreateSized(std::make_unique<StaticText>(), 0, L"Static", text, kChild, x, y, size.cx, size.cy,
                       parent, nullptr);
}

int ControlFactory::CreateWrappedStatic(HWND parent, int x, int y, int width, const std::wstring& text)
{
    const SIZE size = MeasureWrappedText(GuiFont(), text, width);
    return CreateSized(std::make_unique<StaticText>(), 0, L"Static", text, kChild, x, y, width, size.cy, parent,
                       nullptr);
}

int ControlFactory::CreateButton(HWND parent, int x, int y, const std::wstring& text)
{
    const SIZE size = MeasureText(GuiFont(), text);
    return CreateSized(std::make_unique<Button>(), 0, L"Button", text, kChild | WS_TABSTOP | BS_PUSHBUTTON, x,
                       y, size.cx + 8, size.cy + 8, parent, nullptr);
}

int ControlFactory::CreateCheckBox(HWND parent, int x, int y, const std::wstring& text)
{
    const SIZE size = MeasureText(GuiFont(), text);
    return CreateSized(std::make_unique<CheckBox>(), 0, L"Button", text, kChild | WS_TABSTOP | BS_AUTOCHECKBOX,
                       x, y, size.cx + 32, size.cy, parent, nullptr);
}

int ControlFactory::CreateEdit(HWND parent, int x, int y, int characters, DWORD style)
{
    const SIZE w = MeasureText(GuiFont(), L"W");
    const SIZE m = MeasureText(GuiFont(), L"M");
    const DWORD fullStyle = style == static_cast<DWORD>(-1) ? ControlStyle::kMultiLineEdit : (style | ControlStyle::kEditBase);
    return CreateSized(std::make_unique<EditBox>(), WS_EX_CLIENTEDGE, L"Edit", L"", fullStyle, x, y,
                       characters * w.cx + 6, m.cy + 6, parent, kEditMarker);
}

int ControlFactory::CreateListView(HWND parent, int x, int width, int height)
{
    return CreateSized(std::make_unique<ListView>(), 0, WC_LISTVIEWW, L"", ControlStyle::kListView, x, 0, width, height,
                       parent, nullptr);
}

int ControlFactory::CreateGroupBox(HWND parent, const std::wstring& text, int y, int width, int height)
{
    return CreateSized(std::make_unique<GroupBox>(), 0, L"Button", text, kChild | BS_GROUPBOX, 0, y, width,
                       height, parent, nullptr);
}

int ControlFactory::CreateComboBox(HWND parent, int id, int characters, int lines, DWORD style, int x, int y)
{
    auto combo = std::make_unique<ComboBox>();
    combo->Create(parent, id, characters, lines, style, x, y);
    return Add(std::move(combo));
}

int ControlFactory::CreateComboBox(HWND parent, int characters, int lines, DWORD style, int x, int y)
{
    return CreateComboBox(parent, TakeId(), characters, lines, style, x, y);
}

int ControlFactory::CreateProgressBar(HWND parent, int x, int y, int width, int height)
{
    return CreateSized(std::make_unique<ProgressBar>(), 0, PROGRESS_CLASSW, L"", kChild, x, y, width, height,
                       parent, nullptr);
}

int ControlFactory::CreateTreeView(HWND parent, int x, int y, int width, int height, DWORD style)
{
    return CreateSized(std::make_unique<TreeView>(), 0, WC_TREEVIEWW, L"", style, x, y, width, height, parent,
                       nullptr);
}

void ControlFactory::StackVertically(std::initializer_list<int> indices, int startY)
{
    int y = startY;
    for (int index : indices) {
        if (index < 0)
            break;
        Control* control = At(index);
        control->MoveTo(control->ClientRectInParent().left, y);
        y += control->Height() + 4;
    }
}

void ControlFactory::PlaceButtonPair(int index)
{
    Control* left = At(index);
    Control* right = At(index + 1);
    RECT client{};
    GetClientRect(GetParent(right->Window()), &client);
    const int y = client.bottom - 4 - right->Height();
    const int rightX = client.right - 4 - right->Width();
    right->MoveTo(rightX, y);
    left->MoveTo(rightX - 4 - left->Width(), y);
}
