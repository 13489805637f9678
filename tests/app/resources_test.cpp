// The compiled resources as the program meets them: dialog templates read
// back control by control and the accelerator table's raw flag words. The
// resource compiler has its own ideas about default styles and sizes (it
// dropped the About icon's size and a static's WS_GROUP); these tests hold
// it to the layout.
#include "app/resource.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

struct Control {
    int id;
    std::string className;  // a predefined class by its name
    std::string text;       // "#107" for a resource number
    short x, y, cx, cy;
    DWORD style;
};

struct Template {
    DWORD style;
    short x, y, cx, cy;
    std::string caption, font;
    WORD points;
    std::vector<Control> controls;
};

class Reader {
public:
    explicit Reader(const void *data) : at_(static_cast<const BYTE *>(data)) {}
    WORD Word() { WORD w = *reinterpret_cast<const WORD *>(at_); at_ += 2; return w; }
    DWORD Dword() { DWORD d = *reinterpret_cast<const DWORD *>(at_); at_ += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    std::string String()
    {
        std::string text;
        for (WORD c; (c = Word()) != 0;)
            text += static_cast<char>(c);
        return text;
    }
    // A string, or 0xFFFF and a number.
    std::string NameOrNumber()
    {
        if (*reinterpret_cast<const WORD *>(at_) != 0xFFFF)
            return String();
        Word();
        return "#" + std::to_string(Word());
    }
    void AlignDword() { at_ += (4 - reinterpret_cast<UINT_PTR>(at_) % 4) % 4; }
    void Skip(size_t bytes) { at_ += bytes; }

private:
    const BYTE *at_;
};

// Predefined classes come as atoms or as names in any case; lower case here.
std::string ClassName(const std::string &raw)
{
    static const char *const atoms[] = {"button", "edit", "static", "listbox", "scrollbar", "combobox"};
    if (raw.size() > 1 && raw[0] == '#') {
        int atom = std::stoi(raw.substr(1));
        if (atom >= 0x80 && atom <= 0x85)
            return atoms[atom - 0x80];
    }
    std::string lower;
    for (char c : raw)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
}

Template Load(int id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    EXPECT_NE(found, nullptr);
    Reader read(LockResource(LoadResource(nullptr, found)));
    Template dialog;
    dialog.style = read.Dword();
    read.Dword();
    WORD count = read.Word();
    dialog.x = read.Short();
    dialog.y = read.Short();
    dialog.cx = read.Short();
    dialog.cy = read.Short();
    read.NameOrNumber();  // menu
    read.NameOrNumber();  // class
    dialog.caption = read.String();
    if (dialog.style & DS_SETFONT) {
        dialog.points = read.Word();
        dialog.font = read.String();
    }
    for (WORD i = 0; i < count; ++i) {
        read.AlignDword();
        Control control;
        control.style = read.Dword();
        read.Dword();
        control.x = read.Short();
        control.y = read.Short();
        control.cx = read.Short();
        control.cy = read.Short();
        control.id = static_cast<short>(read.Word());
        control.className = ClassName(read.NameOrNumber());
        control.text = read.NameOrNumber();
        read.Skip(read.Word());
        dialog.controls.push_back(control);
    }
    return dialog;
}

constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

void ExpectControls(const Template &dialog, const std::vector<Control> &expected)
{
    ASSERT_EQ(dialog.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control &got = dialog.controls[i], &want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.className, want.className);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(std::vector<short>({got.x, got.y, got.cx, got.cy}),
                  std::vector<short>({want.x, want.y, want.cx, want.cy}));
        EXPECT_EQ(got.style, want.style | Child) << std::hex << got.style;
    }
}

TEST(Resources, MainDialogTemplateIsLaidOutAsDesigned)
{
    Template dialog = Load(IDD_MAIN);
    EXPECT_EQ(dialog.style, DWORD(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(std::vector<short>({dialog.x, dialog.y, dialog.cx, dialog.cy}),
              std::vector<short>({0, 0, 419, 250}));
    EXPECT_EQ(dialog.caption, "Tarnwick II");
    EXPECT_EQ(dialog.font, "MS Sans Serif");
    EXPECT_EQ(dialog.points, 8);
    constexpr DWORD Tab = WS_TABSTOP;
    ExpectControls(
        dialog,
        {{-1, "static", "&Rules", 7, 7, 53, 10, SS_LEFT | WS_GROUP},
         {1021, "listbox", "", 7, 19, 340, 84,
          LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | Tab},
         {1012, "button", "&Add...", 358, 22, 54, 13, BS_PUSHBUTTON | Tab},
         {1013, "button", "&Edit...", 358, 43, 54, 13, BS_PUSHBUTTON | Tab},
         {1014, "button", "&Delete", 358, 64, 54, 13, BS_PUSHBUTTON | Tab},
         {-1, "static", "E&vents", 7, 106, 128, 11, SS_LEFT | WS_GROUP},
         {1024, "syslistview32", "", 7, 118, 340, 86,
          LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | Tab},
         {1016, "button", "Add R&ule...", 358, 119, 54, 13, BS_PUSHBUTTON | Tab},
         {1018, "button", "&Clear List", 358, 140, 54, 13, BS_PUSHBUTTON | Tab},
         {1027, "button", "&Brask a window now...", 11, 212, 95, 13, BS_AUTOCHECKBOX | BS_PUSHLIKE | Tab},
         {1020, "button", "Appl&y Rules to Open Windows", 121, 210, 129, 14, BS_PUSHBUTTON | Tab},
         {1017, "button", "Restore &Hidden/Cloaked Windows...", 121, 229, 129, 14, BS_PUSHBUTTON | Tab},
         {-1, "static", "Event &Delay:", 263, 210, 50, 8, SS_LEFT | WS_GROUP},
         {1022, "msctls_trackbar32", "", 259, 224, 97, 19, TBS_HORZ | TBS_AUTOTICKS | Tab},
         {1, "button", "OK", 362, 210, 50, 14, BS_DEFPUSHBUTTON | Tab},
         {2, "button", "E&xit", 362, 229, 50, 14, BS_PUSHBUTTON | Tab},
         {1023, "static", "? ms", 315, 210, 34, 10, SS_RIGHT | WS_GROUP},
         {1028, "combobox", "", 12, 226, 93, 52, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | Tab},
         {-1, "button", "", 8, 206, 104, 37, BS_GROUPBOX},
         {1015, "button", "&Import Rules...", 358, 85, 54, 13, BS_PUSHBUTTON | Tab}});
}

TEST(Resources, AboutBoxTemplateIsLaidOutAsDesigned)
{
    Template dialog = Load(IDD_ABOUT);
    EXPECT_EQ(dialog.style, DWORD(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(std::vector<short>({dialog.x, dialog.y, dialog.cx, dialog.cy}),
              std::vector<short>({22, 17, 230, 53}));
    EXPECT_EQ(dialog.caption, "About");
    EXPECT_EQ(dialog.font, "System");
    EXPECT_EQ(dialog.points, 8);
    ExpectControls(dialog, {{2, "static", "#107", 14, 9, 20, 20, SS_ICON},
                            {-1, "static", "Tarnwick II v1.0", 49, 10, 119, 8, SS_LEFT | SS_NOPREFIX | WS_GROUP},
                            {1, "button", "OK", 195, 6, 30, 11, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP}});
}

TEST(Resources, AcceleratorsAreAltWithTheCharactersQuestionMarkAndSlash)
{
    // The raw table: flag word, key, command, padding per entry.
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_ACCELERATORS), MAKEINTRESOURCEA(9));
    ASSERT_NE(found, nullptr);
    ASSERT_EQ(SizeofResource(nullptr, found), 16u);
    const WORD *words = static_cast<const WORD *>(LockResource(LoadResource(nullptr, found)));
    EXPECT_EQ(std::vector<WORD>(words, words + 8), (std::vector<WORD>{16, '?', 104, 0, 144, '/', 104, 0}));
}

} // namespace
