// TimelineWindows: a window toolkit passed through, noting for each window as it shows how many platform
// events came before it, so the windows and the events of a call make one timeline.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"
#include "PlatformDialogs.h"
#include "WindowSystem.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace quendra::playback {

class TimelineWindows : public ui::WindowSystem, public embedded::PlatformDialogs {
public:
    TimelineWindows(ui::WindowSystem& windows, embedded::PlatformDialogs& dialogs, const embedded::Database& database)
        : windows_(windows), dialogs_(dialogs), database_(database) {}

    // For each window, in the order shown (the order in which toolkits record them): the number of
    // platform events recorded before it showed.
    const std::vector<size_t>& Shown() const { return shown_; }

    ui::Answer MessageBox(const std::string& text, const std::string& title, ui::Icon icon, ui::Buttons buttons,
                          ui::Answer defaultButton) override {
        Note();
        return windows_.MessageBox(text, title, icon, buttons, defaultButton);
    }
    // Open-file dialogs and windows note themselves as they show.
    std::unique_ptr<ui::CommonDialog> CreateCommonDialog() override;
    std::unique_ptr<ui::Window> CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                             ui::WindowEvents& events) override;
    bool RunQueryDialog(const std::vector<std::pair<int16_t, std::string>>& classNames,
                        embedded::SearchQuery& query) override {
        Note();
        return dialogs_.RunQueryDialog(classNames, query);
    }
    bool RunResultDialog(const std::vector<embedded::SearchCandidate>& found,
                         std::vector<embedded::ObjectKey>& picked) override {
        Note();
        return dialogs_.RunResultDialog(found, picked);
    }
    bool RunNewObjectDialog(const std::string& className, std::vector<embedded::NewObjectField>& fields) override {
        Note();
        return dialogs_.RunNewObjectDialog(className, fields);
    }

    // Called as a window shows.
    void Note() { shown_.push_back(database_.Harness().Events().size()); }
    // Forgets the windows noted so far, for the next call.
    void Forget() { shown_.clear(); }

private:
    ui::WindowSystem& windows_;
    embedded::PlatformDialogs& dialogs_;
    const embedded::Database& database_;
    std::vector<size_t> shown_;
};

} // namespace quendra::playback
