// The program at the scale of the display: the manifest that makes it draw
// itself at that scale with visual styles, every caption whole in every
// dialog, and the sizes the code sets in pixels grown with the DPI. Run by
// scripts/test at 96, 144 and 192 DPI, each in a Wine server of its own;
// BRASK_SCALE_DPI names the DPI the run is meant to see.
#include "app/about_dialog.h"
#include "common/app_state.h"
#include "common/resource.h"
#include "common/window_dpi.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_support.h"
#include "ui/main_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// The manifest as the loader reads it from brask2.exe.
std::string ProgramManifest()
{
    std::string path = ExeDirectory() + "brask2.exe";
    HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image)
        return "";
    std::string text;
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
    if (loaded)
        text.assign(static_cast<const char *>(LockResource(loaded)), SizeofResource(image, found));
    FreeLibrary(image);
    return text;
}

TEST(Manifest, DeclaresStylesPerMonitorDpiEverySystemAndNoElevation)
{
    std::string manifest = ProgramManifest();
    ASSERT_FALSE(manifest.empty());
    for (const char *part : {
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "publicKeyToken=\"6595b64144ccf1df\"",
             ">PerMonitorV2</dpiAwareness>",
             ">true/pm</dpiAware>",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
             "level=\"asInvoker\"",
         })
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    // The rule file's texts are in the system's ANSI code page.
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
}

// The main dialog shown, over a MainWindow of the test's own, at the DPI the
// run was started with.
struct Scale : testing::Test {
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        appInstance = GetModuleHandleA(nullptr);
        std::snprintf(ruleFileName, sizeof ruleFileName, "%s", (folder / "brask2.rul").c_str());
    }
    void SetUp() override
    {
        MainWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, appInstance, {});
        MainDialog = CreateMainDialog();
        ASSERT_NE(MainDialog, nullptr);
        ShowWindow(MainDialog, SW_SHOW);
        dpi = WindowDpi(MainDialog);
        if (const char *expected = std::getenv("BRASK_SCALE_DPI")) {
            ASSERT_EQ(dpi, static_cast<UINT>(std::atoi(expected)));
        }
    }
    void TearDown() override
    {
        for (HWND *own : {&MainDialog, &MainWindow})
            DestroyWindow(std::exchange(*own, nullptr));
    }
    // Runs check on the modal dialog that command of the main dialog opens.
    static void InDialog(int command, const char *caption, const std::function<void(HWND)> &check)
    {
        ModalScript script({[&] {
            HWND dialog = ModalScript::FindDialog(caption, command ? MainDialog : MainWindow);
            if (dialog) {
                check(dialog);
                EndDialog(dialog, IDCANCEL);
            }
            return dialog != nullptr;
        }});
        if (command)
            SendMessageA(MainDialog, WM_COMMAND, command, 0);
        else
            ShowAboutBox();
        EXPECT_TRUE(script.Finished()) << caption;
    }

    static inline const Folder folder;
    UINT dpi = BaseDpi;
};

// The size text takes in the control's font, & marking a mnemonic unless
// format says otherwise.
SIZE TextSize(HWND control, const char *text, UINT format = 0)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT area = {};
    DrawTextA(dc, text, -1, &area, DT_CALCRECT | DT_SINGLELINE | format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {area.right - area.left, area.bottom - area.top};
}

SIZE Size(const RECT &area) { return {area.right - area.left, area.bottom - area.top}; }

void ExpectFits(const std::string &what, SIZE text, SIZE room)
{
    EXPECT_TRUE(text.cx <= room.cx && text.cy <= room.cy)
        << what << ": " << text.cx << "x" << text.cy << " in " << room.cx << "x" << room.cy;
}

// Every caption of the dialog's controls, every item of its drop-down lists
// and every column header whole, in the room each control leaves its text:
// inside a button's frame, beside a check box's box, in a drop-down list's
// item area, inside a column header's margins.
void ExpectTextsFit(HWND dialog)
{
    UINT dpi = WindowDpi(dialog);
    const int frame = ScaleToDpi(4, dpi), border = SystemMetricForDpi(SM_CYBORDER, dpi);
    const int box = ScaleToDpi(13 + 4, dpi);
    const int headerMargin = ScaleToDpi(6, dpi);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char kind[32] = "", caption[256] = "";
        GetClassNameA(control, kind, sizeof kind);
        GetWindowTextA(control, caption, sizeof caption);
        LONG style = GetWindowLongA(control, GWL_STYLE);
        RECT client;
        GetClientRect(control, &client);
        SIZE room = Size(client);
        if (!lstrcmpiA(kind, "Button") && *caption) {
            LONG type = style & BS_TYPEMASK;
            if (type == BS_AUTOCHECKBOX && !(style & BS_PUSHLIKE))
                room.cx -= box;
            else if (type != BS_GROUPBOX)
                room = {room.cx - 2 * frame, room.cy - 2 * border};
            ExpectFits(caption, TextSize(control, caption), room);
        } else if (!lstrcmpiA(kind, "Static") && !(style & SS_ICON)) {
            ExpectFits(caption, TextSize(control, caption, (style & SS_NOPREFIX) ? DT_NOPREFIX : 0), room);
        } else if (!lstrcmpiA(kind, "ComboBox")) {
            COMBOBOXINFO info = {sizeof info};
            ASSERT_TRUE(GetComboBoxInfo(control, &info));
            for (LRESULT i = 0, n = SendMessageA(control, CB_GETCOUNT, 0, 0); i < n; ++i) {
                char item[256] = "";
                SendMessageA(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                ExpectFits(item, TextSize(control, item, DT_NOPREFIX), Size(info.rcItem));
            }
        } else if (!lstrcmpiA(kind, WC_LISTVIEWA)) {
            HWND header = reinterpret_cast<HWND>(SendMessageA(control, LVM_GETHEADER, 0, 0));
            for (int column = 0, n = Header_GetItemCount(header); column < n; ++column) {
                char text[64] = "";
                HDITEMA item = {HDI_TEXT};
                item.pszText = text;
                item.cchTextMax = sizeof text;
                Header_GetItem(header, column, &item);
                RECT cell;
                Header_GetItemRect(header, column, &cell);
                SIZE room = {cell.right - cell.left - 2 * headerMargin, cell.bottom - cell.top};
                ExpectFits(text, TextSize(header, text, DT_NOPREFIX), room);
            }
        }
    }
}

TEST_F(Scale, EveryTextFitsItsControl)
{
    {
        SCOPED_TRACE("main dialog");
        ExpectTextsFit(MainDialog);
    }
    InDialog(IDC_MAIN_ADD, "Rule Editor", ExpectTextsFit);
    InDialog(IDC_MAIN_RESTORE_HIDDEN, "Hidden/Cloaked Windows", ExpectTextsFit);
    InDialog(0, "About", ExpectTextsFit);
}

std::vector<int> ColumnWidths()
{
    HWND list = GetDlgItem(MainDialog, IDC_MAIN_EVENTS);
    std::vector<int> widths;
    for (int column = 0; column < 4; ++column)
        widths.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)));
    return widths;
}

int AboutIconSize(HWND about)
{
    RECT icon = {};
    GetClientRect(GetDlgItem(about, IDC_ABOUT_ICON), &icon);
    EXPECT_EQ(icon.right, icon.bottom);
    return icon.right;
}

// The list's own width is the system's doing, from the dialog's font; the
// shift of 20 pixels, the room for the scroll bar and the About box's 32-pixel
// icon are the program's, and grow by DPI/96. A move to a monitor of twice the
// scale doubles the columns and the icon, and the move back restores them.
TEST_F(Scale, SizesInPixelsGrowWithTheDpi)
{
    RECT client;
    GetClientRect(GetDlgItem(MainDialog, IDC_MAIN_EVENTS), &client);
    const int quarter = client.right / 4, shift = 20 * static_cast<int>(dpi) / 96;
    const int scrollBar = SystemMetricForDpi(SM_CXVSCROLL, dpi);
    const std::vector<int> widths = ColumnWidths();
    EXPECT_EQ(widths, (std::vector<int>{quarter - scrollBar - shift, quarter + shift, quarter + shift, quarter - shift}));

    RECT frame;
    GetWindowRect(MainDialog, &frame);
    SendMessageA(MainDialog, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&frame));
    std::vector<int> doubled = ColumnWidths();
    for (size_t i = 0; i < widths.size(); ++i)
        EXPECT_NEAR(doubled[i], 2 * widths[i], 1) << "column " << i;
    SendMessageA(MainDialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
    EXPECT_EQ(ColumnWidths(), widths);

    InDialog(0, "About", [&](HWND about) {
        EXPECT_EQ(AboutIconSize(about), 32 * static_cast<int>(dpi) / 96);
        RECT frame;
        GetWindowRect(about, &frame);
        SendMessageA(about, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&frame));
        EXPECT_EQ(AboutIconSize(about), 64 * static_cast<int>(dpi) / 96);
    });
}

} // namespace
