// Starting and stopping online communication of an online document, and its polling worker.
// Called on the user-interface thread; questions and failures go to the Prompt. At most one
// document in the process communicates at a time.
#pragma once

#include <string>

#include "base/Clock.h"
#include "base/Prompt.h"
#include "base/Settings.h"
#include "online/TarvelServerDoc.h"

namespace kos {

inline constexpr const char* ONLINE_LOG_NAME = "TarvelServer.log";

// Line timing of the online polls at a speed: read time-out constant + multiplier per byte,
// and the wait for a frame's first byte. False for a speed the registers do not use.
struct LineTiming {
    int readConstantMs = 0;
    int readMultiplierMs = 0;
    int beginFrameTimeoutMs = 0;
};
bool lineTimingFor(int speed, LineTiming& timing);

// Takes the directories and the port from settings, checks (or, asked, creates) the
// directories, continues the day's receipt numbering, opens the online log and the port and
// starts the worker. True when communication runs; otherwise the user has been told (or said
// No) and the document is off with its port closed.
bool startOnline(TarvelServerDoc& doc, const Settings& settings, Prompt& prompt);

// Stops the worker after its current poll, closes the port, marks every register not
// connected and empties the directories. A log failure is reported; the stop completes
// anyway. Nothing happens when the document is off.
void stopOnline(TarvelServerDoc& doc, Prompt& prompt);

// The toggle button: asks before stopping; refuses while another document communicates.
// Returns whether the document is online afterwards.
bool toggleOnline(TarvelServerDoc& doc, const Settings& settings, Prompt& prompt);

// The toggle button of a document: pressed while it communicates; pressed and disabled while
// another document does; released and enabled otherwise.
struct ToggleButtonState {
    bool pressed = false;
    bool enabled = true;
};
ToggleButtonState toggleButtonState(const TarvelServerDoc& doc);

// The document that communicates now, or nullptr (button state of the other documents, the
// refusal to close the program).
TarvelServerDoc* communicatingDocument();

}  // namespace kos
