// SimulatedWindow: a window without a screen whose controls keep the focus rules of a real one.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowSystem.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quendra::scripted {

class SimulatedControl;

class SimulatedWindow : public ui::Window {
public:
    // onShow runs while the window is shown modally: it plays the user.
    SimulatedWindow(std::string caption, int clientWidth, int clientHeight, ui::WindowEvents& events,
                    std::function<void(SimulatedWindow&)> onShow);
    ~SimulatedWindow() override;

    ui::Label& AddLabel(const std::string& name, const ui::Rect& rect, const std::string& text, int tabIndex) override;
    ui::Button& AddButton(const std::string& name, const ui::Rect& rect, const std::string& caption,
                          int tabIndex) override;
    ui::ComboBox& AddComboBox(const std::string& name, const ui::Rect& rect, int tabIndex) override;
    ui::TextBox& AddTextBox(const std::string& name, const ui::Rect& rect, int tabIndex) override;
    ui::Grid& AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) override;

    std::string Caption() const override { return caption_; }
    void ShowModal() override;
    void Hide() override;
    bool Visible() const override { return visible_; }
    void Unload() override;
    // Every character is 90 twips wide, about what an 8-point sans serif needs.
    double TextWidth(const std::string& text) const override;

    // What the window shows.
    std::vector<std::string> LabelTexts() const;
    bool HasGrid() const;
    std::vector<std::pair<std::string, std::string>> GridRows() const;
    bool HasComboBox() const;
    std::vector<std::string> ComboEntries() const;
    std::string FocusedName() const;

    // What a user does; each answers false when the window has no such control or cell.
    bool ClickButton(const std::string& caption);
    bool ClickCell(int row, int col);
    void Type(const std::string& text);
    void SelectAll();
    bool PressKey(const std::string& keyName);
    bool Choose(const std::optional<std::string>& entry);
    void CloseByFrame();

    // Focus bookkeeping used by the controls.
    void RequestFocus(SimulatedControl& control);
    void ControlHidden(SimulatedControl& control);
    ui::WindowEvents& Events() { return events_; }

private:
    template <class T> T& Add(std::unique_ptr<T> control);
    template <class T> T* Find() const;
    SimulatedControl* NextInTabOrder(const SimulatedControl* after) const;
    void MoveFocus(SimulatedControl* target);

    std::string caption_;
    ui::WindowEvents& events_;
    std::function<void(SimulatedWindow&)> onShow_;
    std::vector<std::unique_ptr<SimulatedControl>> controls_;
    SimulatedControl* focused_ = nullptr;
    SimulatedControl* pendingFocus_ = nullptr;
    bool visible_ = false;
};

} // namespace quendra::scripted
