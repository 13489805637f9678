#include "tests/app/black_box.h"

#include "tests/support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace black_box {

TempFolder::TempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static int serial;
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%starnwick-app-%lu-%d", base, GetCurrentProcessId(), ++serial);
    CreateDirectoryA(name, nullptr);
    path_ = name;
}

TempFolder::~TempFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((path_ + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

bool CopyBuilt(const std::string &built, const std::string &folder, const std::string &as)
{
    return CopyFileA((ExeDirectory() + built).c_str(), (folder + "\\" + as).c_str(), FALSE) != 0;
}

ProgramFolder::ProgramFolder(const std::string &library)
{
    if (library == "brask2.dll") {
        path_ = ExeDirectory();
        path_.pop_back();
        return;
    }
    copy_ = std::make_unique<TempFolder>();
    path_ = copy_->Path();
    EXPECT_TRUE(CopyBuilt("brask2.exe", path_, "brask2.exe"));
    if (!library.empty()) {
        EXPECT_TRUE(CopyBuilt(library, path_, "brask2.dll"));
    }
}

void WriteRules(const std::string &path, const std::vector<Rule> &rules)
{
    std::ofstream file(path, std::ios::binary);
    for (const Rule &rule : rules) {
        unsigned char record[RuleRecordSize];
        EncodeRule(rule, record);
        file.write(reinterpret_cast<const char *>(record), sizeof record);
    }
}

std::vector<unsigned char> ReadFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), {});
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Rule TitleRule(int32_t event, const char *title, int32_t action)
{
    Rule rule;
    rule.event = event;
    rule.matchTitle = true;
    lstrcpynA(rule.title, title, sizeof rule.title);
    rule.action = action;
    return rule;
}

Program::Program(const std::string &exeFolder, const std::string &workingFolder)
{
    std::string command = "\"" + exeFolder + "\\brask2.exe\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, workingFolder.c_str(),
                        &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

Program::~Program()
{
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, Timeout);
    }
    CloseHandle(process_);
}

bool Program::WaitForExit(DWORD timeoutMs)
{
    return process_ &&
           WaitFor([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

DWORD Program::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

namespace {

struct Search {
    DWORD process;
    const char *className;
    const char *caption;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM lParam)
{
    auto *search = reinterpret_cast<Search *>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || (search->visibleOnly && !IsWindowVisible(window)))
        return TRUE;
    char className[64] = "", caption[128] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (std::string(className) != search->className || std::string(caption) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND Program::Find(const char *className, const char *caption, bool visibleOnly) const
{
    Search search = {id_, className, caption, visibleOnly, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Program::Dialog() const
{
    // A message box of ours shares the caption; the main dialog has the rule list.
    HWND dialog = Find("#32770", "Tarnwick II");
    return dialog && GetDlgItem(dialog, 1021) ? dialog : nullptr;
}

HWND Program::WaitForDialog(size_t rows, DWORD timeoutMs) const
{
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            dialog = Dialog();
            return dialog && IsWindowVisible(dialog) &&
                   static_cast<size_t>(SendMessageA(GetDlgItem(dialog, 1021), LB_GETCOUNT, 0, 0)) >= rows;
        },
        timeoutMs);
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

HWND Program::WaitForBox(const char *caption, DWORD timeoutMs) const
{
    HWND box = nullptr;
    WaitFor([&] { return (box = Find("#32770", caption, true)) != nullptr; }, timeoutMs);
    return box;
}

std::vector<std::string> ListBoxTexts(HWND list)
{
    std::vector<std::string> texts;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        // Across processes the list box answers in UTF-16 only.
        wchar_t wide[512] = L"";
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        char text[512] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        texts.push_back(text);
    }
    return texts;
}

int ListViewCount(HWND view)
{
    return static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListViewText(HWND view, int row, int column)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(view, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return "";
    // The item record and its text buffer in the other process's memory.
    char *remote = static_cast<char *>(VirtualAllocEx(process, nullptr, 1024, MEM_COMMIT, PAGE_READWRITE));
    std::string result;
    if (remote) {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = remote + 512;
        item.cchTextMax = 256;
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        SendMessageA(view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
        char text[256] = "";
        ReadProcessMemory(process, remote + 512, text, sizeof text - 1, nullptr);
        result = text;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return result;
}

std::string ControlText(HWND window)
{
    char text[512] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

bool TrayIconExists(HWND owner)
{
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = owner;
    probe.uID = 0;
    probe.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

bool IsTopLevelAndVisible(HWND window)
{
    return IsWindow(window) && GetAncestor(window, GA_PARENT) == GetDesktopWindow() &&
           IsWindowVisible(window);
}

} // namespace black_box
