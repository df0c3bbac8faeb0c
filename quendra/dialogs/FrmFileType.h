// FrmFileType: the window in which the user picks the file type of an unknown extension.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowSystem.h"

#include <cstdint>
#include <memory>

namespace quendra {

class FrmFileType : private ui::WindowEvents {
public:
    explicit FrmFileType(ui::WindowSystem& Windows);
    ~FrmFileType() override;

    void Show();
    void Terminate();

    // -2: nothing chosen; otherwise the list index of CmbFileType when OK was pressed.
    int16_t Selection = -2;

    ui::Label& LabelMessage() { return *labelMessage_; }
    ui::Label& Label2() { return *label2_; }
    ui::ComboBox& CmbFileType() { return *cmbFileType_; }
    ui::Button& CmdOK() { return *cmdOK_; }
    ui::Button& CmdCancel() { return *cmdCancel_; }

private:
    void Click(ui::Control& control) override;
    void KeyDown(ui::Control& control, int& keyCode) override;
    void FormKeyDown(int& keyCode) override;
    void FrameClose() override;
    void CmdOK_Click();
    void CmdCancel_Click();

    std::unique_ptr<ui::Window> window_;
    ui::Label* labelMessage_ = nullptr;
    ui::Label* label2_ = nullptr;
    ui::ComboBox* cmbFileType_ = nullptr;
    ui::Button* cmdOK_ = nullptr;
    ui::Button* cmdCancel_ = nullptr;
};

} // namespace quendra
