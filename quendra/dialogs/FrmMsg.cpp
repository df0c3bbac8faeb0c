// FrmMsg: the message window, one line of text and a Continue button.
// SPDX-License-Identifier: Apache-2.0
#include "FrmMsg.h"

namespace quendra {

FrmMsg::FrmMsg(ui::WindowSystem& Windows) : window_(Windows.CreateWindow("Quendra", 6975, 570, *this)) {
    label1_ = &window_->AddLabel("Label1", {120, 120, 5535, 255}, "Label1", 0);
    cmdContinue_ = &window_->AddButton("CmdContinue", {5880, 120, 975, 375}, "Continue", 1);
}

FrmMsg::~FrmMsg() {
    window_->Hide();
}

void FrmMsg::Init(const std::string& Message) {
    label1_->SetText(Message);
}

void FrmMsg::Show() {
    window_->ShowModal();
}

void FrmMsg::Terminate() {
    window_->Unload();
}

void FrmMsg::Click(ui::Control& control) {
    if (&control == cmdContinue_) CmdContinue_Click();
}

// Enter anywhere in the window continues; the frame's close button hides it as Continue does.
void FrmMsg::KeyDown(ui::Control&, int& keyCode) {
    if (keyCode == ui::keys::Enter) {
        keyCode = 0;
        CmdContinue_Click();
    }
}

void FrmMsg::CmdContinue_Click() {
    window_->Hide();
}

} // namespace quendra
