// QtAnswers: what a Qt window shows and how the person answered it, as a script would have.
// SPDX-License-Identifier: Apache-2.0
#include "QtControls.h"

#include <algorithm>

namespace quendra::qt {

// What the window shows, as the scripted toolkit notes it: the first label, grid and list.
answering::records::Window QtWindow::Record() const {
    answering::records::Window record{Caption(), "", {}, {}};
    if (auto* label = FirstOf<ui::Label>(controls_)) record.text = label->Text();
    if (auto* grid = FirstOf<ui::Grid>(controls_); grid && grid->Cols() >= 2)
        for (int r = 0; r < grid->Rows(); ++r) record.rows.emplace_back(grid->TextMatrix(r, 0), grid->TextMatrix(r, 1));
    if (auto* combo = FirstOf<ui::ComboBox>(controls_))
        for (int i = 0; i < combo->ListCount(); ++i) record.choices.push_back(combo->List(i));
    return record;
}

// A button leaves the grid's changed values or the list's entry with it. A key that leaves a
// list changed stands for the window's first button, as Enter in the file type list does.
answering::Answer QtWindow::AnswerGiven(const answering::records::Window& shown, int shownIndex) const {
    namespace answers = answering::answers;
    answering::Answer answer{answers::Close{}, ""};
    auto* grid = FirstOf<ui::Grid>(controls_);
    auto* combo = FirstOf<ui::ComboBox>(controls_);
    auto choose = [&](const std::string& button) {
        answers::Choose chosen{std::nullopt, button};
        if (combo->ListIndex() >= 0) chosen.entry = combo->List(combo->ListIndex());
        answer.what = chosen;
    };
    switch (tap_->way) {
    case EventTap::Way::Button:
        answer.what = answers::Button{tap_->detail};
        if (grid && grid->Cols() >= 2) {
            answers::Set set{{}, tap_->detail};
            for (int r = 0; r < grid->Rows() && r < static_cast<int>(shown.rows.size()); ++r) {
                std::string now = grid->TextMatrix(r, 1);
                if (now != shown.rows[static_cast<size_t>(r)].second)
                    set.rows.emplace_back(shown.rows[static_cast<size_t>(r)].first, now);
            }
            if (!set.rows.empty()) answer.what = set;
        } else if (combo) {
            choose(tap_->detail);
        }
        break;
    case EventTap::Way::Key:
        answer.what = answers::Key{tap_->detail};
        if (combo && combo->ListIndex() != shownIndex) {
            std::vector<QtControl*> buttons;
            for (const auto& control : controls_)
                if (dynamic_cast<ui::Button*>(control.get())) buttons.push_back(control.get());
            auto first = std::min_element(buttons.begin(), buttons.end(), [](const QtControl* a, const QtControl* b) {
                return a->TabIndex() < b->TabIndex();
            });
            if (first != buttons.end()) choose(dynamic_cast<ui::Button*>(*first)->Caption());
        }
        break;
    case EventTap::Way::Frame:
    case EventTap::Way::Open:
        break;
    }
    return answer;
}

} // namespace quendra::qt
