// FrmLinkAttributes: the link attribute editor, a grid of names and values edited in place.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowSystem.h"

#include <memory>
#include <string>

namespace quendra {

class FrmLinkAttributes : private ui::WindowEvents {
public:
    explicit FrmLinkAttributes(ui::WindowSystem& Windows);
    ~FrmLinkAttributes() override;

    void Show();
    void Terminate();
    double TextWidth(const std::string& Text) const;

    // True after Cancel (or closing by the frame), False after OK.
    bool UserCancel = false;

    ui::Grid& MSFlexGrid1() { return *grid_; }
    ui::TextBox& Text1() { return *text1_; }
    ui::Button& CmdOK() { return *cmdOK_; }
    ui::Button& CmdCancel() { return *cmdCancel_; }

private:
    void Click(ui::Control& control) override;
    void KeyDown(ui::Control& control, int& keyCode) override;
    void GotFocus(ui::Control& control) override;
    void LostFocus(ui::Control& control) override;
    void CurrentCellChanged(ui::Grid& grid) override;
    void FrameClose() override;

    void EditCurrentCell();
    void Text1_GotFocus();
    void Text1_LostFocus();
    void Text1_KeyDown(int keyCode);
    void CmdOK_Click();
    void CmdCancel_Click();

    std::unique_ptr<ui::Window> window_;
    ui::Grid* grid_ = nullptr;
    ui::Button* cmdOK_ = nullptr;
    ui::Button* cmdCancel_ = nullptr;
    ui::TextBox* text1_ = nullptr;
    int editedRow_ = 0;
    int editedCol_ = 0;
    bool editorUsed_ = false;
};

} // namespace quendra
