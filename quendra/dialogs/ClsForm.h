// ClsForm: the facade through which component classes show the component's own windows.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "WindowSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quendra {

class FrmFileType;
class FrmLinkAttributes;
class FrmMsg;

class ClsForm {
public:
    explicit ClsForm(ui::WindowSystem& Windows);
    ~ClsForm();

    // The message window with its Continue button; returns when the user closed it.
    void ShowMessage(const std::string& Message);
    // The file type window; the code of the chosen lookup entry, or -2.
    int32_t ShowFileType(const Ptr<CvLookupTable>& FileTypeLookUpObjects, const std::string& Extension);
    // The link attribute editor; true on OK, with Values holding the edited texts.
    bool ShowLinkAttributes(const std::vector<std::string>& Attributes, std::vector<std::string>& Values);

private:
    bool FillAttributeGrid(const std::vector<std::string>& Attributes, const std::vector<std::string>& Values);
    bool ReadAttributeGrid(std::vector<std::string>& Values);

    ui::WindowSystem& windows_;
    // The window currently shown, kept only while its operation runs.
    std::unique_ptr<FrmMsg> frmMsg_;
    std::unique_ptr<FrmFileType> frmFileType_;
    std::unique_ptr<FrmLinkAttributes> frmLinkAttributes_;
};

} // namespace quendra
