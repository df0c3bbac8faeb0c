// FrmLinkAttributes: the link attribute editor, a grid of names and values edited in place.
// SPDX-License-Identifier: Apache-2.0
#include "FrmLinkAttributes.h"

namespace quendra {

FrmLinkAttributes::FrmLinkAttributes(ui::WindowSystem& Windows)
    : window_(Windows.CreateWindow("Link Relation Input", 3975, 3195, *this)) {
    grid_ = &window_->AddGrid("MSFlexGrid1", {120, 240, 3735, 2415}, 0);
    cmdOK_ = &window_->AddButton("CmdOK", {960, 2760, 615, 375}, "OK", 1);
    cmdCancel_ = &window_->AddButton("CmdCancel", {2040, 2760, 855, 375}, "Cancel", 2);
    text1_ = &window_->AddTextBox("Text1", {0, 0, 0, 0}, 3);
    text1_->SetVisible(false);
}

FrmLinkAttributes::~FrmLinkAttributes() {
    window_->Hide();
}

void FrmLinkAttributes::Show() {
    window_->ShowModal();
}

void FrmLinkAttributes::Terminate() {
    window_->Unload();
}

double FrmLinkAttributes::TextWidth(const std::string& Text) const {
    return window_->TextWidth(Text);
}

void FrmLinkAttributes::Click(ui::Control& control) {
    if (&control == grid_) EditCurrentCell();
    if (&control == cmdOK_) CmdOK_Click();
    if (&control == cmdCancel_) CmdCancel_Click();
}

void FrmLinkAttributes::KeyDown(ui::Control& control, int& keyCode) {
    if (&control == text1_) Text1_KeyDown(keyCode);
}

void FrmLinkAttributes::GotFocus(ui::Control& control) {
    if (&control == text1_) Text1_GotFocus();
}

// A button taking the focus commits the edit before its click arrives.
void FrmLinkAttributes::LostFocus(ui::Control& control) {
    if (&control == text1_) Text1_LostFocus();
}

void FrmLinkAttributes::CurrentCellChanged(ui::Grid&) {
    EditCurrentCell();
}

void FrmLinkAttributes::FrameClose() {
    UserCancel = true;
}

void FrmLinkAttributes::EditCurrentCell() {
    if (text1_->Visible()) Text1_LostFocus();
    if (grid_->Col() != 1) return;
    editedRow_ = grid_->Row();
    editedCol_ = grid_->Col();
    text1_->Move({grid_->Left() + grid_->ColPos(editedCol_), grid_->Top() + grid_->RowPos(editedRow_),
                  grid_->CellWidth(), grid_->CellHeight()});
    text1_->SetText(grid_->TextMatrix(editedRow_, editedCol_));
    text1_->SetVisible(true);
    // The first run comes while the grid is filled, before the window shows: no focus then.
    if (editorUsed_) text1_->SetFocus();
    editorUsed_ = true;
}

void FrmLinkAttributes::Text1_GotFocus() {
    text1_->SetSelStart(0);
    text1_->SetSelLength(static_cast<int>(text1_->Text().size()));
}

void FrmLinkAttributes::Text1_LostFocus() {
    grid_->SetTextMatrix(editedRow_, editedCol_, text1_->Text());
    text1_->SetVisible(false);
}

void FrmLinkAttributes::Text1_KeyDown(int keyCode) {
    if (keyCode == ui::keys::Enter || keyCode == ui::keys::Down) {
        Text1_LostFocus();
        if (editedRow_ < grid_->Rows() - 1) {
            grid_->SetRow(editedRow_ + 1);
            EditCurrentCell();
        } else {
            cmdOK_->SetFocus();
        }
    } else if (keyCode == ui::keys::Up) {
        Text1_LostFocus();
        if (editedRow_ == 0) {
            cmdOK_->SetFocus();
        } else {
            grid_->SetRow(editedRow_ - 1);
            EditCurrentCell();
        }
    }
}

void FrmLinkAttributes::CmdOK_Click() {
    UserCancel = false;
    window_->Hide();
}

void FrmLinkAttributes::CmdCancel_Click() {
    UserCancel = true;
    window_->Hide();
}

} // namespace quendra
