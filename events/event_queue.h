// The hook library's reports on their way to their handling: a queue, oldest
// first, in which each report waits until it is due. A timer of MainDialog
// hands them over, so the thread never sleeps through an event delay, and the
// modal loops, which dispatch timers too, keep them moving.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Past this many waiting reports the oldest is handled at once, without the
// rest of its delay; none is ever dropped.
constexpr size_t ReportQueueLimit = 10000;

// Queues the report of event for window, due delayMs from now, and handles
// what is due at once unless more reports are already posted behind it, or a
// long backlog already waits for its turn.
void QueueReport(HWND window, int32_t event, int delayMs);

// The reports queued for the current MainDialog and not handled yet.
// Exported for the tests only.
size_t QueuedReports();

// Answers what other threads have sent meanwhile (a WM_NULL asking whether
// we are alive) without going back to the message loop; false when a posted
// message or input waits, for which the thread should go back to it.
bool AnswerSentMessages();

// What the queue calls in the event list above it, which defines them
// (events/window_events.cpp): the queue knows the list only through these,
// so that the list includes the queue and never the other way round.

// A report once due: the window's texts as they are now, its event row, then
// the rules.
void HandleReport(HWND window, int32_t event);

// Rows go in with the list's redraw off and are painted once no row has come
// for a moment. How long the oldest unpainted row has waited, in ms (0: none).
DWORD UnpaintedRowsAge();

// Paints the waiting rows now.
void PaintEventList();
