#include "ui/rule_editor.h"
// placeholder until implemented
std::optional<Rule> editorPrefill;
int editorIndex = -1;
HWND openEditor;
INT_PTR CALLBACK RuleEditorProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
