// The window picker as the user meets it: started from its toggle in the main
// dialog or the rule editor and ended by real mouse and keyboard input, over
// a window of the victim program.
#include "tests/ui/rule_editor_fixture.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>

using namespace editor_test;

namespace {

void Mouse(POINT at, DWORD buttons)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons;
    SendInput(1, &input, sizeof input);
}

void LeftClick(POINT at)
{
    Mouse(at, MOUSEEVENTF_LEFTDOWN);
    Mouse(at, MOUSEEVENTF_LEFTUP);
}

void RightClick(POINT at)
{
    Mouse(at, MOUSEEVENTF_RIGHTDOWN);
    Mouse(at, MOUSEEVENTF_RIGHTUP);
}

void Keys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

POINT CenterOf(HWND window)
{
    RECT frame;
    GetWindowRect(window, &frame);
    return {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
}

std::string Handle(HWND window)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
    return text;
}

// A window of this program that renames itself when minimized, so that a
// row shows whether its title was read before or after the action.
LRESULT CALLBACK RenamingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED)
        SetWindowTextA(window, "After");
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

class PickerTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        victim_ = std::make_unique<Victim>();
        ASSERT_TRUE(victim_->Running());
        target_ = victim_->Create("PickerTarget", "Pick me");
        ASSERT_NE(target_, nullptr);
        // Clear of where the editor opens over the centred main dialog.
        SetWindowPos(target_, HWND_TOP, 600, 420, 400, 250, 0);
        button_ = GetDlgItem(target_, 1);
        ASSERT_TRUE(WaitFor([&] { return WindowFromPoint(CenterOf(button_)) == button_; }));
        // The mouse rests where no window of this program is, so that
        // nothing of ours resets the cursor behind the picker's back.
        Mouse({1010, 10}, 0);
        SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    }

    void TearDown() override
    {
        if (IsWindowVisible(PickerWindow))
            SendMessageA(PickerWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        EditorFixture::TearDown();
        victim_.reset();
    }

    static void SelectAction(int action)
    {
        SendDlgItemMessageA(MainDialog, IDC_MAIN_ACTION, CB_SETCURSEL, action, 0);
    }

    static bool Picking() { return IsWindowVisible(PickerWindow) && GetCapture() == PickerWindow; }

    static bool Pressed(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

    // "&Brask a window now...", clicked.
    static void StartPicking()
    {
        SendDlgItemMessageA(MainDialog, IDC_MAIN_BRASK, BM_CLICK, 0, 0);
        EXPECT_TRUE(Picking());
        EXPECT_TRUE(Pressed(MainDialog, IDC_MAIN_BRASK));
        EXPECT_EQ(GetCursor(), crossCursor);
    }

    static bool PickingEnded()
    {
        return WaitFor([] { return !IsWindowVisible(PickerWindow); });
    }

    static int Rows()
    {
        return static_cast<int>(SendDlgItemMessageA(MainDialog, IDC_MAIN_EVENTS, LVM_GETITEMCOUNT, 0, 0));
    }

    static std::vector<std::string> Row(int row)
    {
        std::vector<std::string> cells;
        for (int column = 0; column < 4; ++column) {
            char text[128] = "";
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendDlgItemMessageA(MainDialog, IDC_MAIN_EVENTS, LVM_GETITEMTEXTA, row,
                                reinterpret_cast<LPARAM>(&item));
            cells.push_back(text);
        }
        return cells;
    }

    std::unique_ptr<Victim> victim_;
    HWND target_ = nullptr;
    HWND button_ = nullptr;
};

TEST_F(PickerTest, ClickOnAControlActsOnItsTopLevelWindowAndLogsIt)
{
    SelectAction(Hide);
    StartPicking();
    LeftClick(CenterOf(button_));
    ASSERT_TRUE(PickingEnded());

    ASSERT_EQ(HiddenList.Count(), 1u);
    EXPECT_EQ(HiddenList.At(0), target_);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(target_); }));
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"Hide", "Pick me", "PickerTarget", Handle(target_)}));
    EXPECT_FALSE(Pressed(MainDialog, IDC_MAIN_BRASK));
    EXPECT_NE(GetCapture(), PickerWindow);
}

TEST_F(PickerTest, RowShowsTheWindowAsTheActionLeftIt)
{
    WNDCLASSEXA renaming = {sizeof renaming};
    renaming.lpfnWndProc = RenamingProc;
    renaming.hInstance = appInstance;
    renaming.lpszClassName = "PickerRenaming";
    RegisterClassExA(&renaming);
    HWND window = CreateWindowExA(0, "PickerRenaming", "Before", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600,
                                  420, 400, 250, nullptr, nullptr, appInstance, nullptr);
    ASSERT_TRUE(WaitFor([&] { return WindowFromPoint(CenterOf(window)) == window; }));

    SelectAction(Smash);
    StartPicking();
    LeftClick(CenterOf(window));
    ASSERT_TRUE(PickingEnded());
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"Smash", "After", "PickerRenaming", Handle(window)}));
    DestroyWindow(window);
}

// Alt+F4 reaches the picker as a close request, which must not destroy it:
// the toggle would stay pressed with no picker left for the rest of the run.
TEST_F(PickerTest, KeysAndTheRightButtonCancelWithoutEffect)
{
    struct Way {
        const char *name;
        std::function<void()> cancel;
    };
    POINT onTarget = CenterOf(button_);
    const Way ways[] = {
        {"Escape", [] { Keys({VK_ESCAPE}); }},
        {"letter", [] { Keys({'A'}); }},
        {"right click", [&] { RightClick(onTarget); }},
        {"Alt+F4", [] { Keys({VK_MENU, VK_F4}); }},
    };
    SelectAction(Hide);
    HCURSOR before = GetCursor();
    for (const Way &way : ways) {
        SCOPED_TRACE(way.name);
        StartPicking();
        way.cancel();
        ASSERT_TRUE(PickingEnded());
        EXPECT_TRUE(IsWindow(PickerWindow));
        EXPECT_FALSE(Pressed(MainDialog, IDC_MAIN_BRASK));
        EXPECT_NE(GetCapture(), PickerWindow);
        EXPECT_EQ(GetCursor(), before);
        EXPECT_EQ(HiddenList.Count(), 0u);
        EXPECT_EQ(Rows(), 0);
        EXPECT_TRUE(IsWindowVisible(target_));
    }
}

TEST_F(PickerTest, NoActionSelectedOnlyEndsPicking)
{
    SelectAction(-1);
    StartPicking();
    LeftClick(CenterOf(button_));
    ASSERT_TRUE(PickingEnded());
    EXPECT_FALSE(Pressed(MainDialog, IDC_MAIN_BRASK));
    EXPECT_EQ(HiddenList.Count(), 0u);
    EXPECT_EQ(Rows(), 0);
}

// Off the one screen here no window is found: nothing is picked, rather
// than a null window acted on and logged with whatever its texts read as.
TEST_F(PickerTest, ClickWhereNoWindowIsPicksNothing)
{
    ASSERT_EQ(WindowFromPoint({-100, -100}), nullptr);
    SelectAction(Hide);
    StartPicking();
    PostMessageA(PickerWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-100, -100));
    ASSERT_TRUE(PickingEnded());
    EXPECT_FALSE(Pressed(MainDialog, IDC_MAIN_BRASK));
    EXPECT_EQ(HiddenList.Count(), 0u);
    EXPECT_EQ(Rows(), 0);
}

// The editor gets the window; nothing is acted on or logged, and the
// editor's toggle, not the main dialog's, is the one released.
TEST_F(PickerTest, WithTheEditorOpenAPickFillsTheEditor)
{
    SelectAction(Hide);
    EditorState picked{};
    bool grabPressedWhilePicking = false, grabReleased = false;
    std::vector<Step> steps = {
        Click(IDC_RULE_EDITOR_GRAB),
        [&] {
            if (!Picking())
                return false;
            grabPressedWhilePicking = Pressed(Editor(), IDC_RULE_EDITOR_GRAB);
            LeftClick(CenterOf(button_));
            return true;
        },
        [&] {
            HWND editor = Editor();
            if (IsWindowVisible(PickerWindow) || ModalScript::Text(editor, IDC_RULE_EDITOR_CLASS).empty())
                return false;
            picked = ReadEditor(editor);
            grabReleased = !Pressed(editor, IDC_RULE_EDITOR_GRAB);
            PostMessageA(GetDlgItem(editor, IDCANCEL), BM_CLICK, 0, 0);
            return true;
        },
    };
    EXPECT_EQ(OpenEditor(std::nullopt, -1, steps), IDCANCEL);

    EXPECT_TRUE(grabPressedWhilePicking);
    EXPECT_TRUE(grabReleased);
    EXPECT_EQ(picked, (EditorState{Create, Close, Equals, Equals, true, true, true, true, "Pick me",
                                   "PickerTarget"}));
    EXPECT_EQ(HiddenList.Count(), 0u);
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(IsWindowVisible(target_));
}
