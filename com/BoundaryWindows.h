// BoundaryWindows: a window system handed from one module to another (the Windows quendra command to
// quendra.dll), across which no C++ exception may travel.
//
// Each module links its own C++ runtime. On 32-bit Windows an exception unwinds only the frames of the
// runtime that threw it: one thrown in the program and meant for a catch in the DLL (or the other way)
// finds no handler and ends the process. So every call that crosses goes through a pair of adapters of
// this class, one in each module: the one in the module that implements the call catches any failure
// and notes it in a FailureCarrier the pair shares; the one in the module that made the call throws it
// again there, of the same kind and with the same text. Window events cross the other way in the same
// manner, and the controls the events name come out as the adapters the caller holds.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowSystem.h"

// The window interfaces name members as the Win32 macros do.
#undef CreateWindow
#undef MessageBox

#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace quendra::com {

// A failure on its way from the module that caught it to the module that throws it again.
class FailureCarrier {
public:
    // Runs a call in the module that implements it; a failure is noted, and the call answers a
    // default value that its caller never uses.
    template <typename Call> auto Catch(Call&& call) noexcept -> decltype(call()) {
        using Result = decltype(call());
        try {
            return call();
        } catch (...) {
            Note();
        }
        if constexpr (!std::is_void_v<Result>) return Result{};
    }
    // Throws the failure noted during a call, in the module that made it.
    void ThrowNoted();

private:
    enum class Kind { None, CvError, OutOfRange, InvalidArgument, LogicError, BadAlloc, Other };
    void Note() noexcept;

    Kind kind_ = Kind::None;
    std::string text_;
};

// Which of the pair: in the module that implements the window system, or in the one that uses it.
enum class Side { Implementing, Using };

class BoundaryWindows final : public ui::WindowSystem {
public:
    // The adapter a program hands over, in front of its own windows.
    explicit BoundaryWindows(ui::WindowSystem& windows);
    // The adapter the module that received `handed` calls.
    static std::unique_ptr<BoundaryWindows> Receive(BoundaryWindows& handed);

    ui::Answer MessageBox(const std::string& text, const std::string& title, ui::Icon icon, ui::Buttons buttons,
                          ui::Answer defaultButton) override;
    std::unique_ptr<ui::CommonDialog> CreateCommonDialog() override;
    std::unique_ptr<ui::Window> CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                             ui::WindowEvents& events) override;

private:
    BoundaryWindows(ui::WindowSystem& windows, Side side, FailureCarrier& carrier);

    ui::WindowSystem& windows_;
    Side side_;
    FailureCarrier own_;
    FailureCarrier& carrier_;
};

} // namespace quendra::com
