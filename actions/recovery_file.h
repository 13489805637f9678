// The recovery file brask2.hid beside the rule file: while the program holds
// hidden or cloaked windows it names them there, so that a run ended from
// outside (killed, crashed past the crash filter, the power lost) does not
// leave them hidden for good. The next start takes back the hidden ones;
// cloaked windows are children of MainWindow and die with the run.
#pragma once

// At start: every window the file names that still exists, belongs to the
// thread and process recorded for it, is still hidden and still has its
// class goes into HiddenList once; nothing else of the file is trusted. From
// then on the file follows the changes of the lists: rewritten within a
// tenth of a second while they hold anything, removed as soon as both are
// empty.
void RecoverHiddenWindows();
