#pragma once
// The main window: the input folder list, the output folder, the layout with its preview,
// the album switches, the run button and the open-album button. Every change goes into the
// settings at once.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/control_factory.h"
#include "base/handles.h"
#include "ui/dialog_base.h"
#include "update/update_check.h"

class MainWindow : public DialogBase {
public:
    // Posted as the window opens: the check for a new version, started once it is shown.
    static constexpr UINT kCheckForUpdateMessage = WM_APP + 1;
    static constexpr int kIconId = 107;
    static constexpr int kMenuId = 110;
    enum CommandId {
        kSupportSite = 180,
        kVersionPage = 181,
        kSettingsSheet = 194,
        kAddFolder = 195,
        kBrowseOutput = 196,
        kDeleteFolders = 197,
        kEditFolder = 198,
        kAlbumSwitch = 199,
        kAlbumOption = 200,
    };

    MainWindow() = default;

    void AddInputFolder(const std::wstring& path);
    void ReplaceSelectedFolder(const std::wstring& path);
    void RemoveInputFolder(const std::wstring& path);
    void UpdateButtons();
    void UpdateAlbumButton();
    void SaveSettings();
    void UpdateFormatPreview();
    void OnExecute();

    // The controls, for whoever drives the window (its tests).
    ListView* FolderList() const { return folderList_; }
    EditBox* OutputBox() const { return outputBox_; }
    ComboBox* FormatCombo() const { return formatCombo_; }
    TreeView* Preview() const { return preview_; }
    CheckBox* AlbumSwitch() const { return albumSwitch_; }
    CheckBox* AlbumOption() const { return albumOption_; }
    Button* RunButton() const { return run_; }
    Button* OpenAlbumButton() const { return openAlbum_; }
    Button* EditButton() const { return edit_; }
    Button* DeleteButton() const { return delete_; }
    GroupBox* InputGroup() const { return inputGroup_; }

protected:
    bool OnInit(HWND window) override;
    virtual void Layout();

private:
    void OnCommand(int id, int code, HWND control) override;
    bool OnNotify(const NMHDR& header) override;
    void OnClose(HWND window) override;
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void CreateControls(HWND window);
    void OnDropFiles(HDROP drop);
    void OnDeviceChange(WPARAM event, LPARAM data);
    bool IsListed(const std::wstring& path) const;
    void SaveWindowRect();
    void OnDpiChanged(UINT oldDpi) override;
    void GrowToMinimumSize();
    // The smallest window at least this wide that shows every control whole, as the last
    // layout measured them.
    SIZE MinimumWindowSize(LONG windowWidth) const;
    static LRESULT FolderListCallback(WindowSubclass& hook, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ControlFactory controls_{1000};
    bool initialised_ = false;
    LONG minimumClientWidth_ = 0;
    LONG outputBottomBelowThird_ = 0;
    LONG minimumThird_ = 0;  // the least a third of the client height may be
    std::vector<RECT> lowRows_;  // the rows below the output group, bottoms less a third of the height
    UniqueDeviceNotification deviceNotify_;
    // Its notice comes over this window while the window runs; a check still waiting on the
    // server when the window goes is abandoned.
    UpdateCheck updateCheck_{&g_SettingsStore};
    Button* run_ = nullptr;
    GroupBox* inputGroup_ = nullptr;
    ListView* folderList_ = nullptr;
    Button* add_ = nullptr;
    Button* edit_ = nullptr;
    Button* delete_ = nullptr;
    StaticText* driveHint_ = nullptr;
    GroupBox* outputGroup_ = nullptr;
    EditBox* outputBox_ = nullptr;
    Button* browse_ = nullptr;
    StaticText* formatLabel_ = nullptr;
    ComboBox* formatCombo_ = nullptr;
    TreeView* preview_ = nullptr;
    CheckBox* albumSwitch_ = nullptr;
    CheckBox* albumOption_ = nullptr;
    Button* openAlbum_ = nullptr;
};
