// Driving the real brask2.exe from this test process, as a user's tools
// would: a working directory of its own, the program started there, its
// windows found by class, caption and process, and their contents read
// across the process boundary.
#pragma once

#include "rules/rule.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace black_box {

constexpr DWORD Timeout = 10000;

// A fresh folder under the temporary directory, removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::string &Path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Copies a file built beside this test (brask2.exe, brask2.dll, a test
// library) into folder under the name as.
bool CopyBuilt(const std::string &built, const std::string &folder, const std::string &as);

// Where brask2.exe is started from: the build's own folder when it is to
// load the real brask2.dll, else a fresh folder with a copy of the program
// and, unless library is empty, that build product as its brask2.dll. (The
// real library, once it has hooked other processes, stays mapped there and
// could not be deleted with a folder of its own.)
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string &library = "brask2.dll");
    const std::string &Path() const { return path_; }

private:
    std::unique_ptr<TempFolder> copy_;
    std::string path_;
};

void WriteRules(const std::string &path, const std::vector<Rule> &rules);
std::vector<unsigned char> ReadFile(const std::string &path);
bool FileExists(const std::string &path);

Rule TitleRule(int32_t event, const char *title, int32_t action);

// brask2.exe started from exeFolder with workingFolder as its working
// directory; ended by its handle if it has not ended by the destructor.
class Program {
public:
    Program(const std::string &exeFolder, const std::string &workingFolder);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    // True when the program ended within timeoutMs; then ExitCode() holds.
    bool WaitForExit(DWORD timeoutMs = Timeout);
    DWORD ExitCode() const;

    // The top-level window of this process with this class and caption
    // (visible ones only when visibleOnly), or null.
    HWND Find(const char *className, const char *caption, bool visibleOnly = false) const;
    HWND MainWindow() const { return Find("BRASK2", "Tarnwick II"); }
    HWND Dialog() const;  // the main dialog, visible or not
    // Waits for the main dialog to be visible and its rule list to hold rows.
    HWND WaitForDialog(size_t rows = 0, DWORD timeoutMs = Timeout) const;
    // A visible message box of this process captioned caption.
    HWND WaitForBox(const char *caption, DWORD timeoutMs = Timeout) const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Texts of a list box or a list view of another process.
std::vector<std::string> ListBoxTexts(HWND list);
std::string ListViewText(HWND view, int row, int column);
int ListViewCount(HWND view);
std::string ControlText(HWND window);

// Whether the notification icon of owner (uID 0) exists.
bool TrayIconExists(HWND owner);

bool IsTopLevelAndVisible(HWND window);

} // namespace black_box
