// ClsForm: the facade through which component classes show the component's own windows.
// SPDX-License-Identifier: Apache-2.0
#include "ClsForm.h"

#include "FrmFileType.h"
#include "FrmLinkAttributes.h"
#include "FrmMsg.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace quendra {

namespace {

// The widest name is kept in 16 bits; a width that does not fit fails the fill instead of wrapping.
int16_t ToInt16(double width) {
    const double rounded = std::nearbyint(width);
    if (!(rounded >= std::numeric_limits<int16_t>::min() && rounded <= std::numeric_limits<int16_t>::max()))
        throw std::overflow_error("the width of a name does not fit in 16 bits");
    return static_cast<int16_t>(rounded);
}

} // namespace

ClsForm::ClsForm(ui::WindowSystem& Windows) : windows_(Windows) {}

ClsForm::~ClsForm() = default;

void ClsForm::ShowMessage(const std::string& Message) {
    frmMsg_ = std::make_unique<FrmMsg>(windows_);
    frmMsg_->Init(Message);
    frmMsg_->Show();
    frmMsg_->Terminate();
    frmMsg_.reset();
}

int32_t ClsForm::ShowFileType(const Ptr<CvLookupTable>& FileTypeLookUpObjects, const std::string& Extension) {
    int32_t answer = -2;
    try {
        frmFileType_ = std::make_unique<FrmFileType>(windows_);
        frmFileType_->LabelMessage().SetText("This Extension \"" + Extension + "\" is unknown.");
        frmFileType_->CmbFileType().Clear();
        int32_t count = FileTypeLookUpObjects->Count();
        for (int32_t i = 0; i < count; ++i) {
            frmFileType_->CmbFileType().AddItem(FileTypeLookUpObjects->Item(static_cast<int16_t>(i))->Text());
        }
        frmFileType_->CmbFileType().SetListIndex(0);
        frmFileType_->Show();
        if (frmFileType_->Selection >= 0) answer = FileTypeLookUpObjects->Item(frmFileType_->Selection)->Code();
        frmFileType_->Terminate();
        frmFileType_.reset();
    } catch (...) {
        // Any failure means no file type; the window goes with the member.
        frmFileType_.reset();
        return -2;
    }
    return answer;
}

bool ClsForm::ShowLinkAttributes(const std::vector<std::string>& Attributes, std::vector<std::string>& Values) {
    try {
        frmLinkAttributes_ = std::make_unique<FrmLinkAttributes>(windows_);
        bool answer = false;
        if (FillAttributeGrid(Attributes, Values)) {
            frmLinkAttributes_->Show();
            if (!frmLinkAttributes_->UserCancel && ReadAttributeGrid(Values)) {
                frmLinkAttributes_->Terminate();
                answer = true;
            }
        }
        frmLinkAttributes_.reset();
        return answer;
    } catch (...) {
        // Every failure is a refusal; the caller then writes nothing.
        frmLinkAttributes_.reset();
        return false;
    }
}

bool ClsForm::FillAttributeGrid(const std::vector<std::string>& Attributes, const std::vector<std::string>& Values) {
    try {
        ui::Grid& grid = frmLinkAttributes_->MSFlexGrid1();
        grid.Clear();
        grid.SetCols(2);
        double width = grid.Width();
        grid.SetColWidth(0, static_cast<int>(std::nearbyint((width - 5) * 2 / 3)));
        grid.SetColWidth(1, static_cast<int>(std::nearbyint((width - 5) * 1 / 3)));
        // Lists of different length cannot be read back; such input is refused at once.
        if (Values.size() != Attributes.size()) return false;
        grid.SetRows(static_cast<int>(Attributes.size()));
        int16_t widest = 0;
        for (size_t i = 0; i < Attributes.size(); ++i) {
            int row = static_cast<int>(i);
            grid.SetTextMatrix(row, 0, Attributes[i]);
            grid.SetTextMatrix(row, 1, Values[i]);
            if (const double nameWidth = frmLinkAttributes_->TextWidth(Attributes[i]); nameWidth > widest)
                widest = ToInt16(nameWidth);
        }
        if (widest > 0) {
            grid.SetColWidth(0, widest + 100);
            grid.SetColWidth(1, static_cast<int>(std::nearbyint(width - grid.ColWidth(0))));
        }
        // Show the grid from its first row and start the editor on the first value.
        if (grid.Rows() > 0) {
            grid.SetRow(0);
            grid.SetCol(1);
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool ClsForm::ReadAttributeGrid(std::vector<std::string>& Values) {
    try {
        ui::Grid& grid = frmLinkAttributes_->MSFlexGrid1();
        for (size_t i = 0; i < Values.size(); ++i) Values[i] = grid.TextMatrix(static_cast<int>(i), 1);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace quendra
