// The polling worker of an online document: its loop, run on the document's worker thread.
#pragma once

namespace kos {

class TarvelServerDoc;

// Polls the used slots in turn, one poll per hold of registerLock, until the stop event; a
// lost serial device is reopened about once a second meanwhile.
void runOnlineWorker(TarvelServerDoc& doc);

}  // namespace kos
