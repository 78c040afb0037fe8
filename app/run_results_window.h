#pragma once
// The window that answers "did the run get everything?": how many files each outcome took
// (copied, in the output folder already, not organized by reason, dated by their last write),
// and a list of every file that was not copied, with why and where its twin is. The list sorts
// by the column clicked, narrows as the user types into the search field, shows the selected
// file in Explorer and goes to the clipboard as tab-separated text.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/not_copied_rows.h"
#include "app/run_summary.h"
#include "ui/control_factory.h"
#include "ui/dialog_base.h"

extern const wchar_t kRunResultsCaption[];

class RunResultsWindow : public DialogBase {
public:
    // The summary stays the caller's and must outlive the window.
    explicit RunResultsWindow(const RunSummary* summary);

    // The lines of counts the window shows, each with whether it is a part of the line above.
    struct CountLine {
        std::wstring text;
        bool part = false;
    };
    static std::vector<CountLine> CountLines(const RunSummary& summary);

    // The controls, for whoever drives the window (its tests).
    ListView* List() const { return list_; }
    EditBox* SearchBox() const { return search_; }
    Button* OpenFolderButton() const { return openFolder_; }
    Button* CopyButton() const { return copy_; }
    Button* CloseButton() const { return close_; }
    const std::vector<Control*>& CountLabels() const { return countLabels_; }

private:
    bool OnInit(HWND window) override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnNotify(const NMHDR& header) override;
    void OnDpiChanged(UINT oldDpi) override;
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void CreateControls(HWND window);
    // Every control where it goes in the client area as it is now.
    void Layout();
    // The least client size that shows every control whole, in the fonts of the window's DPI.
    SIZE MinimumClientSize() const;
    // What the window's frame adds to a client size at its DPI, and the least window size.
    SIZE FrameSize(HWND window) const;
    SIZE MinimumWindowSize(HWND window) const;
    void WidenColumns();
    void OnSortClicked(int column);
    // The list shows the rows anew, the file selected before still selected where it is shown.
    void ShowRows(std::int64_t keepSelected);
    // The summary's file selected in the list; -1 when none is.
    std::int64_t SelectedFile() const;
    void UpdateButtons();
    void OpenSelectedFolder();
    void CopyShownRows();

    const RunSummary* summary_;
    NotCopiedRows rows_;
    ControlFactory controls_{0x1200};
    std::vector<Control*> countLabels_;
    std::vector<bool> countParts_;
    StaticText* listLabel_ = nullptr;
    StaticText* searchLabel_ = nullptr;
    EditBox* search_ = nullptr;
    ListView* list_ = nullptr;
    Button* openFolder_ = nullptr;
    Button* copy_ = nullptr;
    Button* close_ = nullptr;
    int sortColumn_ = -1;
    bool ascending_ = true;
    bool initialised_ = false;
};
