// QtWindow: a window of the component as a Qt dialog, its controls as Qt widgets.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowLog.h"
#include "WindowSystem.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QObject;
class QWidget;

namespace quendra::qt {

class QtControl;
class FormDialog;
class EventRouter;
class EventTap;

class QtWindow : public ui::Window {
public:
    // twipsPerPixel: 15 at 96 dots per inch. beforeModal runs once the dialog shows. Each showing
    // is noted in log with how the person left the window.
    QtWindow(const std::string& caption, int clientWidth, int clientHeight, ui::WindowEvents& events,
             double twipsPerPixel, std::function<void(QDialog&)> beforeModal, WindowLog& log);
    ~QtWindow() override;

    std::string Caption() const override;
    void ShowModal() override;
    void Hide() override;
    bool Visible() const override;
    void Unload() override;
    double TextWidth(const std::string& text) const override;

    // The controls, in QtControls.cpp and QtGrid.cpp.
    ui::Label& AddLabel(const std::string& name, const ui::Rect& rect, const std::string& text, int tabIndex) override;
    ui::Button& AddButton(const std::string& name, const ui::Rect& rect, const std::string& caption,
                          int tabIndex) override;
    ui::ComboBox& AddComboBox(const std::string& name, const ui::Rect& rect, int tabIndex) override;
    ui::TextBox& AddTextBox(const std::string& name, const ui::Rect& rect, int tabIndex) override;
    ui::Grid& AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) override;

    // Used by the controls and the event routing.
    int Pixels(int twips) const;
    int Twips(int pixels) const;
    ui::WindowEvents& Events();
    void RequestFocus(QtControl& control);
    void FrameClose();
    bool Alive() const { return dialog_ != nullptr; }

private:
    // Keeps a new control, in the tab order; the controls are added in QtControls.cpp and QtGrid.cpp.
    template <class T> T& Add(std::unique_ptr<T> control) {
        T& added = *control;
        Adopt(std::move(control));
        return added;
    }
    void Adopt(std::unique_ptr<QtControl> control);
    void Destroy();
    // What it shows and how the person answered it, in QtAnswers.cpp.
    answering::records::Window Record() const;
    // The answer that leaves the window as the person left it, from what it shows now.
    answering::Answer AnswerGiven(const answering::records::Window& shown, int shownIndex) const;

    // The form's events, passed on through the tap that notes how the person leaves the window.
    std::unique_ptr<EventTap> tap_;
    WindowLog& log_;
    double twipsPerPixel_;
    std::function<void(QDialog&)> beforeModal_;
    FormDialog* dialog_ = nullptr;
    std::unique_ptr<EventRouter> router_;
    std::vector<std::unique_ptr<QtControl>> controls_;
    QtControl* pendingFocus_ = nullptr;
};

} // namespace quendra::qt
