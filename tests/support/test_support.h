// What the window tests share: polling with a timeout while this thread's
// messages keep flowing, the victim process, and folders of their own.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

// Polls condition until it holds or timeoutMs has passed, dispatching this
// thread's messages in between. True when it held.
bool WaitFor(const std::function<bool()> &condition, DWORD timeoutMs = 5000);

// Dispatches every message already queued for this thread.
void PumpMessages();

// The folder of the running test program, with a trailing backslash.
std::string ExeDirectory();

// A victim process (tests/victim), started by the constructor and ended by
// the destructor, by its own quit command or, failing that, by its handle.
class Victim {
public:
    Victim();
    ~Victim();
    Victim(const Victim &) = delete;
    Victim &operator=(const Victim &) = delete;

    bool Running() const { return control_ != nullptr; }
    DWORD ProcessId() const { return processId_; }

    // Sends one command of victim_protocol.h and returns the reply.
    LRESULT Send(const std::string &command);

    // A visible window of the victim with the given class and title.
    HWND Create(const std::string &className, const std::string &title);

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND control_ = nullptr;
};

// A fresh folder under the temporary directory, removed with its contents.
struct Folder {
    static inline int serial = 0;
    std::filesystem::path path = std::filesystem::temp_directory_path() /
        ("tarnwick-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial));
    Folder() { std::filesystem::create_directory(path); }
    ~Folder() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    std::string operator/(const char *name) const { return (path / name).string(); }
};
