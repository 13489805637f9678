// A main dialog of the tests' own: the real dialog template with a procedure
// that does only what the event path needs, so that events, rules and the
// event list run as in the program, against the victim's windows.
#pragma once

#include "actions/window_actions.h"
#include "app/app_state.h"
#include "app/messages.h"
#include "app/resource.h"
#include "events/window_events.h"
#include "rules/rule.h"
#include "rules/rule_set.h"
#include "tests/support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

inline INT_PTR CALLBACK EventTestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitEventControls(dialog);
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_MAIN_DELAY))
            OnEventDelayScroll(dialog);
        return TRUE;
    case WM_HOOKCREATE:
    case WM_HOOKACTIVATE:
        HandleWindowEvent(message, reinterpret_cast<HWND>(wParam));
        return TRUE;
    }
    return FALSE;
}

inline Rule ClassRule(int32_t event, const char *className, int32_t action)
{
    Rule rule;
    rule.event = event;
    rule.matchClass = true;
    std::strncpy(rule.className, className, sizeof rule.className - 1);
    rule.action = action;
    return rule;
}

inline Rule TitleRule(int32_t event, int32_t kind, const char *title, int32_t action)
{
    Rule rule;
    rule.event = event;
    rule.matchTitle = true;
    rule.titleMatch = kind;
    std::strncpy(rule.title, title, sizeof rule.title - 1);
    rule.action = action;
    return rule;
}

inline std::string Handle(HWND window)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
    return text;
}

class EventLogTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        victim = new Victim;
    }
    static void TearDownTestSuite()
    {
        delete victim;
        victim = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(victim->Running());
        MainWindow = CreateWindowExA(0, "STATIC", "main window", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, nullptr, nullptr);
        PickerWindow = CreateWindowExA(0, "STATIC", "picker", WS_POPUP, 0, 0, 10, 10, nullptr,
                                       nullptr, nullptr, nullptr);
        MainDialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                        EventTestDialogProc, 0);
        ASSERT_NE(MainDialog, nullptr);
        list = GetDlgItem(MainDialog, IDC_MAIN_EVENTS);
        SetEventDelay(0);
        ruleSet.Clear();
        HiddenList.Clear();
        CloakedList.Clear();
    }

    void TearDown() override
    {
        // The victim's windows go first: one cloaked under MainWindow would
        // otherwise die with it.
        for (HWND window : victimWindows)
            Destroy(window);
        DestroyWindow(MainDialog);
        DestroyWindow(PickerWindow);
        DestroyWindow(MainWindow);
        MainDialog = PickerWindow = MainWindow = nullptr;
        ruleSet.Clear();
        HiddenList.Clear();
        CloakedList.Clear();
    }

    HWND Target(const char *className = "EventTarget", const std::string &title = "Target")
    {
        HWND window = victim->Create(className, title);
        victimWindows.push_back(window);
        return window;
    }

    static void Destroy(HWND window)
    {
        victim->Send("destroy " + std::to_string(reinterpret_cast<uintptr_t>(window)));
    }

    int RowCount() const { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

    std::string Cell(int row, int column) const
    {
        char text[256] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    // One column, top row first.
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < RowCount(); ++row)
            texts.push_back(Cell(row, column));
        return texts;
    }

    inline static Victim *victim = nullptr;
    std::vector<HWND> victimWindows;
    HWND list = nullptr;
};

using Names = std::vector<std::string>;
