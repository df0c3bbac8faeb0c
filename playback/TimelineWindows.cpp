// TimelineWindows: every way a window shows goes through Note first, then on to the toolkit.
// SPDX-License-Identifier: Apache-2.0
#include "TimelineWindows.h"

namespace quendra::playback {

namespace {

class NotedDialog : public ui::CommonDialog {
public:
    NotedDialog(std::unique_ptr<ui::CommonDialog> dialog, TimelineWindows& timeline)
        : dialog_(std::move(dialog)), timeline_(timeline) {}
    void SetFilter(const std::string& filter) override { dialog_->SetFilter(filter); }
    void SetFlags(int32_t flags) override { dialog_->SetFlags(flags); }
    void ShowOpen() override {
        timeline_.Note();
        dialog_->ShowOpen();
    }
    std::string FileName() const override { return dialog_->FileName(); }

private:
    std::unique_ptr<ui::CommonDialog> dialog_;
    TimelineWindows& timeline_;
};

class NotedWindow : public ui::Window {
public:
    NotedWindow(std::unique_ptr<ui::Window> window, TimelineWindows& timeline)
        : window_(std::move(window)), timeline_(timeline) {}
    ui::Label& AddLabel(const std::string& name, const ui::Rect& rect, const std::string& text, int tabIndex) override {
        return window_->AddLabel(name, rect, text, tabIndex);
    }
    ui::Button& AddButton(const std::string& name, const ui::Rect& rect, const std::string& caption,
                          int tabIndex) override {
        return window_->AddButton(name, rect, caption, tabIndex);
    }
    ui::ComboBox& AddComboBox(const std::string& name, const ui::Rect& rect, int tabIndex) override {
        return window_->AddComboBox(name, rect, tabIndex);
    }
    ui::TextBox& AddTextBox(const std::string& name, const ui::Rect& rect, int tabIndex) override {
        return window_->AddTextBox(name, rect, tabIndex);
    }
    ui::Grid& AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) override {
        return window_->AddGrid(name, rect, tabIndex);
    }
    std::string Caption() const override { return window_->Caption(); }
    void ShowModal() override {
        timeline_.Note();
        window_->ShowModal();
    }
    void Hide() override { window_->Hide(); }
    bool Visible() const override { return window_->Visible(); }
    void Unload() override { window_->Unload(); }
    double TextWidth(const std::string& text) const override { return window_->TextWidth(text); }

private:
    std::unique_ptr<ui::Window> window_;
    TimelineWindows& timeline_;
};

} // namespace

std::unique_ptr<ui::CommonDialog> TimelineWindows::CreateCommonDialog() {
    return std::make_unique<NotedDialog>(windows_.CreateCommonDialog(), *this);
}

std::unique_ptr<ui::Window> TimelineWindows::CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                                          ui::WindowEvents& events) {
    return std::make_unique<NotedWindow>(windows_.CreateWindow(caption, clientWidth, clientHeight, events), *this);
}

} // namespace quendra::playback
