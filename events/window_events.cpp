// Where the hook library's reports enter the program, the event delay, and
// the event list of MainDialog in which every event and every action taken
// is shown, newest on top.
#include "events/window_events.h"

#include "actions/window_texts.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "common/window_dpi.h"
#include "events/event_queue.h"
#include "rules/apply_rules.h"
#include "rules/rule.h"

#include <commctrl.h>

#include <cstdio>

namespace {

int eventDelayMs = 50;

constexpr int EventLogLimit = 100;
char eventDelayLabel[16];  // "%d ms", as SetEventDelay last formatted it

constexpr int MaxEventDelayMs = 250;
constexpr int InitialEventDelayMs = 50;
constexpr int DelayTickSpacing = 25;

// Rows wait unpainted until none has come for QuietPaintMs, however closely
// they follow each other no longer than LongestUnpaintedMs. A paint takes
// longer than handling a report under Wine, and the report that arrives
// during one waits for it.
constexpr DWORD QuietPaintMs = 50;
constexpr DWORD LongestUnpaintedMs = 1000;

// Kept, as looking a control up asks the window server each time, and
// every report writes a row or more.
HWND EventList()
{
    static HWND dialog, list;
    if (dialog != MainDialog || !IsWindow(list)) {
        dialog = MainDialog;
        list = MainDialog ? GetDlgItem(MainDialog, IDC_MAIN_EVENTS) : nullptr;
    }
    return list;
}

// A visible list view repaints itself on every insertion, tens of
// milliseconds a row under Wine: rows go in with its redraw off, and it is
// painted once for the lot.
HWND frozenList;  // the list whose redraw is off, or null
DWORD frozenSince, lastRowAt;

// Timers come after every posted message: the paint also waits for the
// reports already posted.
void CALLBACK OnPaintTimer(HWND, UINT, UINT_PTR, DWORD)
{
    DWORD now = GetTickCount();
    if (now - lastRowAt >= QuietPaintMs || now - frozenSince >= LongestUnpaintedMs)
        PaintEventList();
}

// Known by the address of its procedure, no id of MainDialog can clash with it.
UINT_PTR PaintTimerId() { return reinterpret_cast<UINT_PTR>(&OnPaintTimer); }

void FreezeEventList(HWND list)
{
    lastRowAt = GetTickCount();
    if (frozenList == list)
        return;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    frozenList = list;
    frozenSince = lastRowAt;
    SetTimer(MainDialog, PaintTimerId(), QuietPaintMs / 2, OnPaintTimer);
}

void SetRowText(HWND list, int row, int column, const char *text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char *>(text ? text : "");
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void InsertRow(const char *name, HWND window, const char *title, const char *className)
{
    HWND list = EventList();
    if (!list)
        return;
    FreezeEventList(list);
    char handle[16];
    std::snprintf(handle, sizeof handle, "0x%08x",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));

    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = 0;
    item.pszText = const_cast<char *>(name);
    int row = static_cast<int>(
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    // Writing into row 0 after a failed insertion would overwrite the texts of
    // the previous newest row.
    if (row < 0)
        return;
    SetRowText(list, row, 1, title);
    SetRowText(list, row, 2, className);
    SetRowText(list, row, 3, handle);

    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (count > EventLogLimit)
        SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(count - 1), 0);
}

void SetDelayLabel(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_MAIN_DELAY_LABEL, eventDelayLabel);
}

void InitDelayTrackbar(HWND dialog)
{
    HWND trackbar = GetDlgItem(dialog, IDC_MAIN_DELAY);
    SendMessageA(trackbar, TBM_SETTICFREQ, DelayTickSpacing, 0);
    SendMessageA(trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(0, MaxEventDelayMs));
    SendMessageA(trackbar, TBM_SETPOS, TRUE, InitialEventDelayMs);
    SetEventDelay(InitialEventDelayMs);
    SetDelayLabel(dialog);
}

UINT eventListDpi = BaseDpi;  // the DPI the columns' widths were set for

void InsertColumn(HWND list, int column, const char *header, int width)
{
    LVCOLUMNA info = {};
    info.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    info.fmt = LVCFMT_LEFT;
    info.cx = width;
    info.pszText = const_cast<char *>(header);
    info.iSubItem = column;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
}

// The four columns fill the list but for room for a vertical scroll bar, so
// that no horizontal one appears once the list is long. The 20 pixels they
// shift are 20 at 96 DPI and grow with the list's DPI, as the list does.
void InitEventColumns(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS);
    RECT client = {};
    GetClientRect(list, &client);
    eventListDpi = WindowDpi(list);
    int quarter = (client.right - client.left) / 4;
    int scrollBar = SystemMetricForDpi(SM_CXVSCROLL, eventListDpi);
    int shift = ScaleToDpi(20, eventListDpi);
    InsertColumn(list, 0, "Event", quarter - scrollBar - shift);
    InsertColumn(list, 1, "Window Title", quarter + shift);
    InsertColumn(list, 2, "Window Class", quarter + shift);
    InsertColumn(list, 3, "HWND", quarter - shift);
    // Drawn off screen and put up in one piece: under Wine a fifth of the
    // time of drawing each row on screen, and every report that arrives
    // during a paint waits for it.
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
}

BOOL CALLBACK ApplyRulesToWindow(HWND window, LPARAM)
{
    if (IsWindowVisible(window)) {
        WindowTexts texts = ReadWindowTexts(window);
        ApplyRules(window, AnyEvent, texts.title, texts.className);
    }
    return TRUE;
}

} // namespace

void HandleWindowEvent(UINT message, HWND window)
{
    if (!window || window == MainDialog || window == PickerWindow)
        return;
    int32_t event;
    if (message == WM_HOOKCREATE)
        event = Create;
    else if (message == WM_HOOKACTIVATE)
        event = Activate;
    else
        return;
    // A new window has usually no title yet when it is reported; the delay
    // gives its program time to set one before the rules look at it.
    QueueReport(window, event, event == Create ? eventDelayMs : 0);
}

void HandleReport(HWND window, int32_t event)
{
    WindowTexts texts = ReadWindowTexts(window);
    LogEvent(window, event, texts.title, texts.className);
    ApplyRules(window, event, texts.title, texts.className);
}

void SetEventDelay(int ms)
{
    eventDelayMs = ms;
    std::snprintf(eventDelayLabel, sizeof eventDelayLabel, "%d ms", ms);
}

void InitEventControls(HWND dialog)
{
    InitDelayTrackbar(dialog);
    InitEventColumns(dialog);
}

// Each column keeps its share, also one the user has dragged wider.
void ScaleEventColumns(HWND dialog, UINT dpi)
{
    HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS);
    if (!list || dpi == eventListDpi)
        return;
    for (int column = 0; column < 4; ++column) {
        int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MulDiv(width, dpi, eventListDpi));
    }
    eventListDpi = dpi;
}

// Every scroll code, the drag included, so that the label follows the thumb.
void OnEventDelayScroll(HWND dialog)
{
    HWND trackbar = GetDlgItem(dialog, IDC_MAIN_DELAY);
    SetEventDelay(static_cast<int>(SendMessageA(trackbar, TBM_GETPOS, 0, 0)));
    SetDelayLabel(dialog);
}

void LogEvent(HWND window, int32_t event, const char *title, const char *className)
{
    InsertRow(EventName(event), window, title, className);
}

void LogAction(HWND window, int32_t action, const char *title, const char *className)
{
    InsertRow(ActionName(action), window, title, className);
}

DWORD UnpaintedRowsAge() { return frozenList ? GetTickCount() - frozenSince : 0; }

// Turning redraw on invalidates the header too, which rows never change: it
// is left as it is unless it needed a paint anyway. The update paints now,
// as WM_PAINT would wait for every posted report. Under Wine, turning redraw
// on draws the scroll bar twice and the update draws the rows, each step many
// milliseconds: what other threads sent is answered before each.
void PaintEventList()
{
    HWND list = frozenList;
    frozenList = nullptr;
    if (MainDialog)
        KillTimer(MainDialog, PaintTimerId());
    if (!list || list != EventList())
        return;
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    bool headerStale = GetUpdateRect(header, nullptr, FALSE);
    AnswerSentMessages();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (!headerStale)
        ValidateRect(header, nullptr);
    AnswerSentMessages();
    UpdateWindow(list);
}

void ApplyRulesToOpenWindows() { EnumWindows(ApplyRulesToWindow, 0); }

void ClearEventLog()
{
    HWND list = EventList();
    if (list)
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}
