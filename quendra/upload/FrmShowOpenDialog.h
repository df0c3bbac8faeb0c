// FrmShowOpenDialog: the never-shown window that hosts the upload's open-file dialog.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowSystem.h"

#include <memory>

namespace quendra {

class FrmShowOpenDialog : private ui::WindowEvents {
public:
    explicit FrmShowOpenDialog(ui::WindowSystem& Windows);
    ~FrmShowOpenDialog() override;

    ui::CommonDialog& CommonDialog1() { return *commonDialog1_; }

private:
    std::unique_ptr<ui::Window> window_;
    std::unique_ptr<ui::CommonDialog> commonDialog1_;
};

} // namespace quendra
