#include "actions/window_texts.h"

// A read that fails leaves the text empty rather than whatever the buffer
// held; a null handle is not read at all, since Wine fills the buffer with
// garbage for it. Every window has a class: one whose class cannot be read
// is gone, and its title is not asked for. Each read of another program's
// window is a call to the window server, and in a flood of reports many
// name windows already gone.
WindowTexts ReadWindowTexts(HWND window)
{
    WindowTexts texts;
    texts.title[0] = texts.className[0] = '\0';
    if (!window)
        return texts;
    if (GetClassNameA(window, texts.className, sizeof texts.className) <= 0)
        texts.className[0] = '\0';
    else if (GetWindowTextA(window, texts.title, sizeof texts.title) <= 0)
        texts.title[0] = '\0';
    texts.title[sizeof texts.title - 1] = '\0';
    texts.className[sizeof texts.className - 1] = '\0';
    return texts;
}
