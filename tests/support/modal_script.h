// Drives a modal dialog of this thread while its call blocks: a thread timer,
// which every modal loop dispatches (message boxes' included), runs the
// steps in turn. A step returns true when it is done and is polled again
// otherwise, so a step can wait for a window to appear. Past the deadline the
// script gives up, fails the test and ends every owned dialog of the thread,
// so that the blocked call returns.
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

    explicit ModalScript(std::vector<Step> steps, DWORD timeoutMs = 10000)
        : steps_(std::move(steps)), start_(GetTickCount()), timeoutMs_(timeoutMs)
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 10, Tick);
    }
    ~ModalScript()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    ModalScript(const ModalScript &) = delete;
    ModalScript &operator=(const ModalScript &) = delete;

    bool Finished() const { return !abandoned_ && next_ == steps_.size(); }

    // The visible dialog of this thread with this caption and, unless null,
    // this owner.
    static HWND FindDialog(const char *caption, HWND owner = nullptr)
    {
        Search search = {caption, owner, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindProc, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    static std::string Text(HWND window, int id)
    {
        char text[512] = "";
        GetDlgItemTextA(window, id, text, sizeof text);
        return text;
    }

private:
    struct Search {
        const char *caption;
        HWND owner;
        HWND found;
    };

    static BOOL CALLBACK FindProc(HWND window, LPARAM lParam)
    {
        auto *search = reinterpret_cast<Search *>(lParam);
        char className[32] = "", caption[128] = "";
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, caption, sizeof caption);
        if (IsWindowVisible(window) && std::string(className) == "#32770" &&
            (!search->caption || std::string(caption) == search->caption) &&
            (!search->owner || GetWindow(window, GW_OWNER) == search->owner)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }

    // Ended from outside its procedure, so that even a dialog that ignores
    // Cancel lets the blocked call return.
    static BOOL CALLBACK CancelProc(HWND window, LPARAM)
    {
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) && std::string(className) == "#32770")
            EndDialog(window, IDCANCEL);
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript *script = current_;
        // A step may itself wait in a nested modal loop that dispatches
        // this timer again.
        if (!script || script->running_)
            return;
        script->running_ = true;
        script->Advance();
        script->running_ = false;
    }

    void Advance()
    {
        if (!abandoned_ && next_ < steps_.size() && steps_[next_]()) {
            ++next_;
            return;
        }
        // Still ticking past the deadline means the blocked call has not
        // returned, whether or not every step ran.
        if (!abandoned_ && GetTickCount() - start_ > timeoutMs_) {
            ADD_FAILURE() << "modal script stuck at step " << next_ << " of " << steps_.size();
            abandoned_ = true;
        }
        if (abandoned_)
            EnumThreadWindows(GetCurrentThreadId(), CancelProc, 0);
    }

    static inline ModalScript *current_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD start_;
    DWORD timeoutMs_;
    UINT_PTR timer_ = 0;
    bool running_ = false;
    bool abandoned_ = false;
};
