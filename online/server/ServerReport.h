// The server's output: one line per connection change of a register, per receipt written and
// per loss and reopening of the serial port.
#pragma once

#include <array>
#include <cstdio>
#include <mutex>

#include "online/TarvelServerDoc.h"

namespace kos {

class ServerReport final : public EcrStatusListener {
public:
    // The register numbers are taken now; the server does not change its list while it runs.
    ServerReport(TarvelServerDoc& doc, std::FILE* out);

    void ecrStatusChanged(int slotIndex, int connected) override;
    void receiptWritten(int slotIndex, const std::string& path) override;
    void lineChanged(bool lost, const std::string& device) override;
    long receipts() const;

private:
    int numberOf(int slotIndex) const;

    std::FILE* out_;
    std::array<int32_t, SLOT_COUNT> numbers_{};
    mutable std::mutex lock_;
    long receipts_ = 0;
};

}  // namespace kos
