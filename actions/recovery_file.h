// The recovery file brask2.hid beside the rule file: while the program holds
// hidden or cloaked windows it names them there, so that a run ended from
// outside (killed, crashed past the crash filter) does not leave them hidden
// for good. The next start takes back the hidden ones; cloaked windows are
// children of MainWindow and die with the run.
#pragma once

// At start: the windows a killed run of this log-on left hidden. Every
// window the file names that still exists as a hidden top-level window of
// the thread and process recorded for it, with its class, goes into
// HiddenList once; a file of another start of the system or another log-on
// is not read, and is removed. From then on each window the lists gain is
// on disk before the call that hides or cloaks it: one line appended. The
// file is written anew, compactly and whole or not at all, a moment after a
// window is taken back or once it has grown, and removed when both lists are
// empty. The first write that fails, and a removal that fails, are said once
// each in a warning box; the program goes on either way.
void RecoverHiddenWindows();

// At the end of the run, after every window has been given back: the file
// is closed and removed. If it cannot be removed, that is said at once.
void EndRecoveryFile();

// The compact rewrite, at once. Only for the benchmark, which times it.
void RewriteRecoveryFile();
