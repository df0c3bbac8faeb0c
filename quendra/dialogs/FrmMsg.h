// FrmMsg: the message window, one line of text and a Continue button.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowSystem.h"

#include <memory>
#include <string>

namespace quendra {

class FrmMsg : private ui::WindowEvents {
public:
    explicit FrmMsg(ui::WindowSystem& Windows);
    // The window hides itself when the form ends.
    ~FrmMsg() override;

    void Init(const std::string& Message);
    void Show();
    void Terminate();

    ui::Label& Label1() { return *label1_; }
    ui::Button& CmdContinue() { return *cmdContinue_; }

private:
    void Click(ui::Control& control) override;
    void KeyDown(ui::Control& control, int& keyCode) override;
    void CmdContinue_Click();

    std::unique_ptr<ui::Window> window_;
    ui::Label* label1_ = nullptr;
    ui::Button* cmdContinue_ = nullptr;
};

} // namespace quendra
