// A ".dsr" file into the online document's reader. A document that was read must write a file
// that reads back to the same document.
#include <cstddef>
#include <cstdint>
#include <string>

#include "online/TarvelServerDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kos::TarvelServerDoc doc;
    const kos::DsrStatus status =
        doc.fromDsr(std::string(reinterpret_cast<const char*>(data), size));
    if (status != kos::DsrStatus::Ok && status != kos::DsrStatus::WrongSlotCount)
        return 0;
    const std::string written = doc.toDsr();
    kos::TarvelServerDoc back;
    if (back.fromDsr(written) != kos::DsrStatus::Ok || back.toDsr() != written)
        __builtin_trap();
    return 0;
}
