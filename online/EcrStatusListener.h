// Told when a slot's connection flag changes, a receipt is written or the serial line comes and
// goes. Called on the worker thread; a window re-posts the call to its own thread.
#pragma once

#include <string>

namespace kos {

class EcrStatusListener {
public:
    virtual ~EcrStatusListener() = default;
    virtual void ecrStatusChanged(int slotIndex, int connected) = 0;
    // A finished receipt's main copy is on disk at path (worker thread, registerLock held).
    virtual void receiptWritten(int /*slotIndex*/, const std::string& /*path*/) {}
    // The serial line at device was lost (unplugged), or opened again (worker thread).
    virtual void lineChanged(bool /*lost*/, const std::string& /*device*/) {}
};

}  // namespace kos
