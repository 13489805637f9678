// How tests drive the victim program: a separate process whose top-level
// windows the program under test acts on. Commands are texts sent with
// WM_COPYDATA to the victim's control window; the reply is the LRESULT.
//
//   create CLASS|TITLE        a visible 400x300 window at 200,150 with a
//                             push button "Push" filling its client area;
//                             reply: its handle
//   latetitle HWND|MS|TITLE   sets HWND's title MS milliseconds from now; 1
//   showlate MS|CLASS         a 400x300 window at 200,150 created hidden,
//                             titled "not shown yet"; MS milliseconds later
//                             shown (SW_SHOWNORMAL), then titled "shown";
//                             reply: its handle
//   destroy HWND              DestroyWindow; reply: its result
//   churn N                   fetches one message (so that a hook installed
//                             just before is in force), then creates and
//                             destroys N top-level windows; reply: the
//                             milliseconds the windows took
//   timed CLASS|TITLE         as create, and notes the performance counter
//                             just before and just after CreateWindowExA
//   timedcall / timedreturn   the low 32 bits of those two counter readings
//   hang MS                   replies 1, then its thread takes no messages
//                             for MS milliseconds
//   quit                      ends the victim
#pragma once

#define VICTIM_CONTROL_CLASS "TarnwickVictimControl"
#define VICTIM_EXE "victim.exe"
