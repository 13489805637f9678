// Saving the rule list after the user changed it, and telling the user when
// that fails, so that no change looks kept that the next start would lose.
#pragma once

#include <windows.h>

// Saves every rule to brask2.rul. When that fails, a warning owned by owner
// (the dialog where the change was made) gives the file's name and the
// system's reason; the rules in memory stay as they are, so the next save
// that succeeds writes them all. True when saved.
bool SaveRulesOrWarn(HWND owner);
