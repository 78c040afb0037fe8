#pragma once
// The main window driven by a test: a script runs once the window is up, with the messages
// that clicks, drops and drives cause; the folder picker answers from a list.

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/settings_store.h"
#include "app/main_window.h"
#include "tests/organize/organize_fixture.h"

// The main window with a test script run once it is up.
class ScriptedMainWindow : public MainWindow {
public:
    explicit ScriptedMainWindow(std::function<void(ScriptedMainWindow&)> script) : script_(std::move(script)) {}
    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG) {
            const INT_PTR result = MainWindow::HandleMessage(window, message, wParam, lParam);
            SetTimer(window, 77, 100, nullptr);
            return result;
        }
        if (message == WM_TIMER && wParam == 77) {
            // A modal window over this one (the notice of a new version, at the start) goes
            // first. Run inside its loop, the script would keep that loop from ever going idle,
            // and a dialog is shown only once its loop first does.
            if (!IsWindowEnabled(window))
                return TRUE;
            KillTimer(window, 77);
            script_(*this);
            PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        }
        return MainWindow::HandleMessage(window, message, wParam, lParam);
    }
    void Command(int id) { SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void Click(Control* control)
    {
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(control->Id(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control->Window()));
    }
    void SelectFormat(int index)
    {
        FormatCombo()->Select(index);
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(FormatCombo()->Id(), CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(FormatCombo()->Window()));
    }
    std::vector<std::wstring> Rows() const
    {
        std::vector<std::wstring> rows;
        for (int i = 0; i < FolderList()->RowCount(); ++i)
            rows.push_back(FolderList()->RowText(i));
        return rows;
    }

private:
    std::function<void(ScriptedMainWindow&)> script_;
};

// The folders the picker answers with, in turn; a cancel once they are used up. The titles it
// was opened with, in turn.
inline std::deque<std::wstring> g_pickerAnswers;
inline std::vector<std::wstring> g_pickerTitles;
inline bool AnswerPicker(HWND, const std::wstring&, const std::wstring& title, std::wstring* chosen)
{
    g_pickerTitles.push_back(title);
    if (g_pickerAnswers.empty())
        return false;
    *chosen = g_pickerAnswers.front();
    g_pickerAnswers.pop_front();
    return true;
}

class MainWindowTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        g_pickerAnswers.clear();
        g_pickerTitles.clear();
        ActiveUiSeams().pickFolder = &AnswerPicker;
    }
    void Show(std::function<void(ScriptedMainWindow&)> script)
    {
        ScriptedMainWindow window(std::move(script));
        EXPECT_EQ(window.DoModal(nullptr), 0);
        // The window quits the thread's loop as it closes: the next test's loop must not see it.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    std::vector<std::wstring> History() const { return g_SettingsStore.GetList(L"FOLDER_HISTORY"); }
};
