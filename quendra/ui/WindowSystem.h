// WindowSystem: what the component's windows need of a window system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quendra::ui {

enum class Icon { Information, Exclamation, Critical, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// The open-file dialog, addressed by its properties as the upload uses it.
class CommonDialog {
public:
    virtual ~CommonDialog() = default;
    virtual void SetFilter(const std::string& filter) = 0;
    virtual void SetFlags(int32_t flags) = 0;
    // Modal. Afterwards FileName() is empty when the user cancelled, one full path for
    // one file, or the folder, character 0 and the names (separated by character 0).
    virtual void ShowOpen() = 0;
    virtual std::string FileName() const = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // A modal message box; answers the button pressed.
    virtual Answer MessageBox(const std::string& text, const std::string& title, Icon icon, Buttons buttons,
                              Answer defaultButton) = 0;
    virtual std::unique_ptr<CommonDialog> CreateCommonDialog() = 0;
};

} // namespace quendra::ui
