// Drives a modal dialog of this thread while its call blocks: a thread timer,
// which every modal loop dispatches (message boxes' included), runs the steps
// in turn, polling each until it returns true. Past the deadline the script
// fails the test and ends every owned dialog of the thread from outside its
// procedure, so that the blocked call returns even if a dialog ignores Cancel.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class ModalScript {
public:
    using Step = std::function<bool()>;

    explicit ModalScript(std::vector<Step> steps)
        : steps_(std::move(steps)), timer_(SetTimer(nullptr, 0, 10, Tick))
    {
        current_ = this;
    }
    ~ModalScript() { KillTimer(nullptr, timer_); current_ = nullptr; }
    ModalScript(const ModalScript &) = delete;
    bool Finished() const { return !abandoned_ && next_ == steps_.size(); }

    // The visible dialog of this thread with this caption and, unless null,
    // this owner; after, when given, the one found before it.
    static HWND FindDialog(const char *caption, HWND owner = nullptr, HWND after = nullptr)
    {
        while ((after = FindWindowExA(nullptr, after, "#32770", caption))) {
            if (IsWindowVisible(after) &&
                GetWindowThreadProcessId(after, nullptr) == GetCurrentThreadId() &&
                (!owner || GetWindow(after, GW_OWNER) == owner))
                return after;
        }
        return nullptr;
    }
    static std::string Text(HWND window, int id)
    {
        char text[512];
        return std::string(text, GetDlgItemTextA(window, id, text, sizeof text));
    }
    // A key pressed on the focused control, handed to IsDialogMessageA as the
    // dialog's message loop hands it on (Wine's own dialog tests do the same).
    static void Key(HWND dialog, WPARAM key)
    {
        MSG message = {GetFocus(), WM_KEYDOWN, key, 0};
        IsDialogMessageA(dialog, &message);
    }

private:
    // A step may itself wait in a nested modal loop that dispatches this timer again.
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript *script = current_;
        if (script && !std::exchange(script->running_, true)) {
            script->Poll();
            script->running_ = false;
        }
    }
    void Poll()
    {
        if (!abandoned_ && next_ < steps_.size() && steps_[next_]()) {
            ++next_;
        } else if (!abandoned_ && GetTickCount() - start_ > 10000) {
            ADD_FAILURE() << "modal script stuck at step " << next_ << "/" << steps_.size();
            abandoned_ = true;
        }
        for (HWND open = nullptr; abandoned_ && (open = FindDialog(nullptr, nullptr, open));) {
            if (GetWindow(open, GW_OWNER))
                EndDialog(open, IDCANCEL);
        }
    }

    static inline ModalScript *current_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD start_ = GetTickCount();
    UINT_PTR timer_;
    bool running_ = false, abandoned_ = false;
};
