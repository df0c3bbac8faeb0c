// FrmShowOpenDialog: the never-shown window that hosts the upload's open-file dialog.
// SPDX-License-Identifier: Apache-2.0
#include "FrmShowOpenDialog.h"

namespace quendra {

FrmShowOpenDialog::FrmShowOpenDialog(ui::WindowSystem& Windows)
    : window_(Windows.CreateWindow("FrmShowOpenDialog", 4680, 1215, *this)),
      commonDialog1_(Windows.CreateCommonDialog()) {
    window_->AddLabel("Label1", {120, 480, 4455, 255}, "USED ONLY FOR Upload Command [ClsUpload.ShowOpenDialog]", 0);
}

FrmShowOpenDialog::~FrmShowOpenDialog() {
    window_->Unload();
}

} // namespace quendra
