#pragma once
// A page of one kind's extensions (photos, movies or sounds): each extension with its switch,
// and a menu to add an extension of the user's own or delete one. The page edits a working
// copy; the kind's list changes only when the sheet applies.

#include "app/settings_page.h"
#include "organize/extension_list.h"
#include "ui/popup_menu.h"

class ExtensionsPage : public SettingsPage {
public:
    enum Command { kAddExtension = 4660, kDeleteExtension = 4661 };

    ExtensionsPage(ExtensionList* list, std::wstring label);

    // The context menu for the selected row, as the right button shows it: deleting is offered
    // only for an extension the user added.
    void BuildMenu(PopupMenu& menu) const;

    ListView* List() const { return list_; }
    const ExtensionList& WorkingCopy() const { return working_; }


protected:
    void BuildControls(HWND window) override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnPageNotify(const NMHDR& header) override;
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void Apply() override;

private:
    void Fill();
    void OnRowChanged(const NMLISTVIEW* change);
    void ShowMenu();
    void AddExtension();
    void DeleteExtension();

    ExtensionList* bound_;
    ExtensionList working_;
    std::wstring label_;
    ListView* list_ = nullptr;
    bool filling_ = false;
    const PopupMenu* openMenu_ = nullptr;  // while the context menu is up, for its drawing
};
