#include "ui/control_factory.h"

#include <commctrl.h>

#include "ui/control_styles.h"
#include "ui/dpi_scaling.h"
#include "ui/gui_font.h"

namespace {

using ControlStyle::kChild;
// What edit controls get instead of their object: they are never subclassed from it.
const LPVOID kEditMarker = reinterpret_cast<LPVOID>(static_cast<INT_PTR>(0x12345678));

ControlSizing TextSizing(int padWidth, int padHeight)
{
    ControlSizing sizing;
    sizing.rule = ControlSizing::kText;
    sizing.padWidth = padWidth;
    sizing.padHeight = padHeight;
    return sizing;
}

ControlSizing CharacterSizing(int characters, int lines, int pad)
{
    ControlSizing sizing;
    sizing.rule = ControlSizing::kCharacters;
    sizing.characters = characters;
    sizing.lines = lines;
    sizing.padWidth = sizing.padHeight = pad;
    return sizing;
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

UINT ControlFactory::DpiFor(HWND parent) const
{
    return dpi_ ? dpi_ : WindowDpi(parent);
}

int ControlFactory::CreateSized(std::unique_ptr<Control> control, const ControlSizing& sizing, DWORD exStyle,
                                const wchar_t* windowClass, const std::wstring& text, DWORD style, int x, int y,
                                SIZE size, HWND parent, LPVOID param, int id)
{
    const UINT dpi = DpiFor(parent);
    const SIZE sized = SizeByRule(sizing, GuiFont(dpi), text, dpi, size);
    control->SetSizing(sizing);
    control->CreateWindowOf(exStyle, windowClass, text.c_str(), style, x, y, sized.cx, sized.cy, parent, id,
                            param ? param : control.get(), dpi);
    return Add(std::move(control));
}

int ControlFactory::CreateSized(std::unique_ptr<Control> control, const ControlSizing& sizing, DWORD exStyle,
                                const wchar_t* windowClass, const std::wstring& text, DWORD style, int x, int y,
                                SIZE size, HWND parent, LPVOID param)
{
    return CreateSized(std::move(control), sizing, exStyle, windowClass, text, style, x, y, size, parent, param,
                       TakeId());
}

int ControlFactory::CreateStatic(HWND parent, int x, int y, const std::wstring& text)
{
    return CreateSized(std::make_unique<StaticText>(), TextSizing(0, 0), 0, L"Static", text, kChild, x, y, {},
                       parent, nullptr);
}

int ControlFactory::CreateWrappedStatic(HWND parent, int x, int y, int width, const std::wstring& text)
{
    ControlSizing sizing;
    sizing.rule = ControlSizing::kWrappedText;
    return CreateSized(std::make_unique<StaticText>(), sizing, 0, L"Static", text, kChild, x, y, {width, 0},
                       parent, nullptr);
}

int ControlFactory::CreateHiddenLabel(HWND parent, const std::wstring& text)
{
    // Without an ID of its own, so that the controls around it keep theirs.
    return CreateSized(std::make_unique<StaticText>(), TextSizing(0, 0), 0, L"Static", text, kChild & ~WS_VISIBLE,
                       0, 0, {}, parent, nullptr, -1);
}

int ControlFactory::CreateButton(HWND parent, int x, int y, const std::wstring& text)
{
    return CreateSized(std::make_unique<Button>(), TextSizing(8, 8), 0, L"Button", text,
                       kChild | WS_TABSTOP | BS_PUSHBUTTON, x, y, {}, parent, nullptr);
}

int ControlFactory::CreateCheckBox(HWND parent, int x, int y, const std::wstring& text)
{
    // Room for the box and the gap before the text.
    return CreateSized(std::make_unique<CheckBox>(), TextSizing(32, 0), 0, L"Button", text,
                       kChild | WS_TABSTOP | BS_AUTOCHECKBOX, x, y, {}, parent, nullptr);
}

int ControlFactory::CreateEdit(HWND parent, int x, int y, int characters, DWORD style)
{
    const DWORD fullStyle = style == static_cast<DWORD>(-1) ? ControlStyle::kMultiLineEdit : (style | ControlStyle::kEditBase);
    return CreateSized(std::make_unique<EditBox>(), CharacterSizing(characters, 1, 6), WS_EX_CLIENTEDGE, L"Edit",
                       L"", fullStyle, x, y, {}, parent, kEditMarker);
}

int ControlFactory::CreateListView(HWND parent, int x, int width, int height, DWORD extraStyle)
{
    return CreateSized(std::make_unique<ListView>(), {}, 0, WC_LISTVIEWW, L"", ControlStyle::kListView | extraStyle, x, 0,
                       {width, height}, parent, nullptr);
}

int ControlFactory::CreateGroupBox(HWND parent, const std::wstring& text, int y, int width, int height)
{
    return CreateSized(std::make_unique<GroupBox>(), {}, 0, L"Button", text, kChild | BS_GROUPBOX, 0, y,
                       {width, height}, parent, nullptr);
}

int ControlFactory::CreateComboBox(HWND parent, int id, int characters, int lines, DWORD style, int x, int y)
{
    // An extended combo box: its height is that of the open list.
    const DWORD fullStyle = style == 0 ? ControlStyle::kDefaultComboBox : (style | ControlStyle::kComboBoxBase);
    return CreateSized(std::make_unique<ComboBox>(), CharacterSizing(characters, lines, 0), 0, WC_COMBOBOXEXW, L"",
                       fullStyle, x, y, {}, parent, nullptr, id);
}

int ControlFactory::CreateComboBox(HWND parent, int characters, int lines, DWORD style, int x, int y)
{
    return CreateComboBox(parent, TakeId(), characters, lines, style, x, y);
}

int ControlFactory::CreateProgressBar(HWND parent, int x, int y, int width, int height)
{
    return CreateSized(std::make_unique<ProgressBar>(), {}, 0, PROGRESS_CLASSW, L"", kChild, x, y, {width, height},
                       parent, nullptr);
}

int ControlFactory::CreateTreeView(HWND parent, int x, int y, int width, int height, DWORD style)
{
    return CreateSized(std::make_unique<TreeView>(), {}, 0, WC_TREEVIEWW, L"", style, x, y, {width, height}, parent,
                       nullptr);
}

void ControlFactory::ApplyDpi(UINT dpi)
{
    dpi_ = dpi;
    for (const auto& control : controls_)
        control->ApplyDpi(dpi);
}

void ControlFactory::StackVertically(std::initializer_list<int> indices, int startY)
{
    int y = startY;
    for (int index : indices) {
        if (index < 0)
            break;
        Control* control = At(index);
        control->MoveTo(control->ClientRectInParent().left, y);
        y += control->Height() + ScaleToDpi(4, control->Dpi());
    }
}

void ControlFactory::PlaceButtonPair(int index)
{
    Control* left = At(index);
    Control* right = At(index + 1);
    RECT client{};
    GetClientRect(GetParent(right->Window()), &client);
    const int margin = ScaleToDpi(4, right->Dpi());
    const int y = client.bottom - margin - right->Height();
    const int rightX = client.right - margin - right->Width();
    right->MoveTo(rightX, y);
    left->MoveTo(rightX - margin - left->Width(), y);
}
