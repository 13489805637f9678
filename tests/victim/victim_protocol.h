// How tests drive the victim program: a separate process whose top-level
// windows the program under test acts on. Commands are texts sent with
// WM_COPYDATA to the victim's control window; the reply is the LRESULT.
//
//   create CLASS|TITLE        a visible 400x300 window at 200,150 with a push
//                             button filling its client area; its handle. One
//                             of class VictimRenaming retitles itself "After"
//                             once it is no top-level window
//   latetitle HWND|MS|TITLE   sets HWND's title MS milliseconds from now; 1
//   showlate MS|CLASS         a window created hidden, "not shown yet"; MS
//                             milliseconds later shown, then titled "shown"
//   destroy HWND              DestroyWindow; its result
//   notify HWND|EVENT OBJ CHILD  NotifyWinEvent(EVENT, HWND, OBJ, CHILD), as
//                             Windows announces an activation; 1
//   slowmove MS               the next move of any window it made (a
//                             re-parenting too) takes MS milliseconds; 1
//   hang MS                   replies 1, then its thread takes no messages
//                             for MS milliseconds
//   hold                      installs brask2.dll's hook for itself; 1 if
//                             installed
//   crash                     ends at once, as a crash would: no release,
//                             no library told
//   quit                      ends the victim
//   any other                 1, once every command sent before is handled
// The benchmarks' victim (bench/bench_victim.cpp) adds commands of its own.
#pragma once

#define VICTIM_CONTROL_CLASS "TarnwickVictimControl"
#define VICTIM_EXE "victim.exe"
// The same program built for the other bitness: 64-bit beside a 32-bit
// build, 32-bit beside a 64-bit one.
#define OTHER_VICTIM_EXE "other_victim.exe"
