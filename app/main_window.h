#pragma once
// The main window: the input folder list, the output folder, the layout with its preview,
// the album switches, the run button and the open-album button. Every change goes into the
// settings at once.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/control_factory.h"
#include "base/handles.h"
#include "ui/sub_class_dialog_base.h"

class MainWindow_CL : public SubClassDialogBase_CL {
public:
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

    MainWindow_CL() = default;

    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    void AddInputFolder(const std::wstring& path);
    void ReplaceSelectedFolder(const std::wstring& path);
    void RemoveInputFolder(const std::wstring& path);
    void UpdateButtons();
    void UpdateAlbumButton();
    void SaveSettings();
    void UpdateFormatPreview();
    void OnExecute();

    // The controls, for whoever drives the window (its tests).
    ListView_CL* FolderList() const { return folderList_; }
    Edit_CL* OutputBox() const { return outputBox_; }
    ComboBox_CL* FormatCombo() const { return formatCombo_; }
    TreeView_CL* Preview() const { return preview_; }
    CheckBox_CL* AlbumSwitch() const { return albumSwitch_; }
    CheckBox_CL* AlbumOption() const { return albumOption_; }
    Button_CL* RunButton() const { return run_; }
    Button_CL* OpenAlbumButton() const { return openAlbum_; }
    Button_CL* EditButton() const { return edit_; }
    Button_CL* DeleteButton() const { return delete_; }
    GroupBox_CL* InputGroup() const { return inputGroup_; }

protected:
    virtual void OnInitDialog(HWND window);
    virtual void Layout();

private:
    void CreateControls(HWND window);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnDropFiles(HDROP drop);
    void OnDeviceChange(WPARAM event, LPARAM data);
    bool IsListed(const std::wstring& path) const;
    void SaveWindowRect();
    // The smallest window at least this wide that shows every control whole, as the last
    // layout measured them.
    SIZE MinimumWindowSize(LONG windowWidth) const;
    static LRESULT FolderListCallback(SubClass_CL& hook, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ControlFactory_CL controls_{1000};
    bool initialised_ = false;
    LONG minimumClientWidth_ = 0;
    LONG outputBottomBelowThird_ = 0;
    std::vector<RECT> lowRows_;  // the rows below the output group, bottoms less a third of the height
    UniqueDevNotify_CL deviceNotify_;
    Button_CL* run_ = nullptr;
    GroupBox_CL* inputGroup_ = nullptr;
    ListView_CL* folderList_ = nullptr;
    Button_CL* add_ = nullptr;
    Button_CL* edit_ = nullptr;
    Button_CL* delete_ = nullptr;
    StaticText_CL* driveHint_ = nullptr;
    GroupBox_CL* outputGroup_ = nullptr;
    Edit_CL* outputBox_ = nullptr;
    Button_CL* browse_ = nullptr;
    StaticText_CL* formatLabel_ = nullptr;
    ComboBox_CL* formatCombo_ = nullptr;
    TreeView_CL* preview_ = nullptr;
    CheckBox_CL* albumSwitch_ = nullptr;
    CheckBox_CL* albumOption_ = nullptr;
    Button_CL* openAlbum_ = nullptr;
};
