// FrmFileType: the window in which the user picks the file type of an unknown extension.
// SPDX-License-Identifier: Apache-2.0
#include "FrmFileType.h"

namespace quendra {

// The message label comes first: it is the label that tells the user what is asked.
FrmFileType::FrmFileType(ui::WindowSystem& Windows)
    : window_(Windows.CreateWindow("Select File Type", 3015, 2055, *this)) {
    labelMessage_ = &window_->AddLabel("LabelMessage", {240, 0, 2415, 375}, "This extension is unknown", 0);
    label2_ = &window_->AddLabel("Label2", {480, 480, 1935, 495}, "Please Select the File Type for this extension", 1);
    cmbFileType_ = &window_->AddComboBox("CmbFileType", {120, 1080, 2775, 315}, 2);
    cmdOK_ = &window_->AddButton("CmdOK", {120, 1560, 855, 375}, "OK", 3);
    cmdCancel_ = &window_->AddButton("CmdCancel", {2040, 1560, 855, 375}, "Cancel", 4);
    Selection = -2;
}

FrmFileType::~FrmFileType() {
    window_->Hide();
}

void FrmFileType::Show() {
    window_->ShowModal();
}

void FrmFileType::Terminate() {
    window_->Unload();
}

void FrmFileType::Click(ui::Control& control) {
    if (&control == cmdOK_) CmdOK_Click();
    if (&control == cmdCancel_) CmdCancel_Click();
}

void FrmFileType::KeyDown(ui::Control& control, int& keyCode) {
    if (&control == cmbFileType_ && keyCode == ui::keys::Enter) {
        keyCode = 0;
        CmdOK_Click();
    }
}

void FrmFileType::FormKeyDown(int& keyCode) {
    if (keyCode == ui::keys::Enter) {
        keyCode = 0;
        CmdOK_Click();
    }
}

void FrmFileType::FrameClose() {
    Selection = -2;
}

void FrmFileType::CmdOK_Click() {
    Selection = static_cast<int16_t>(cmbFileType_->ListIndex());
    window_->Hide();
}

void FrmFileType::CmdCancel_Click() {
    Selection = -2;
    window_->Hide();
}

} // namespace quendra
