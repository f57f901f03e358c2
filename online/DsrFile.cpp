// The ".dsr" file of the online document.
#include "base/ArchiveString.h"
#include "base/DocumentFile.h"
#include "online/TarvelServerDoc.h"

namespace kos {

namespace {

constexpr size_t PLU_IMAGE_SIZE = 12;
constexpr size_t PLU_IMAGE_BCD = 4;
constexpr size_t SALE_IMAGE_SIZE = 100;

// The raw object images: bytes the format leaves uninterpreted are written as zeros.
void writeEntry(ByteWriter& out, const SalesTable::Entry& e) {
    const uint8_t zeros[4] = {};
    out.bytes(zeros, PLU_IMAGE_BCD);
    out.bytes(e.plu.bcd().data(), Plu::BYTES);
    out.u8(0);
    out.bytes(zeros, 4);
    for (int32_t q : e.sale.quantity)
        out.i32(q);
    for (int32_t x : e.sale.extra)
        out.i32(x);
}

bool readEntry(ByteReader& in, Plu& plu, PluSale& sale) {
    uint8_t image[PLU_IMAGE_SIZE];
    if (!in.bytes(image, PLU_IMAGE_SIZE))
        return false;
    plu.setBcd(image + PLU_IMAGE_BCD);
    uint32_t ignored;
    if (!in.u32(ignored))
        return false;
    for (int32_t& q : sale.quantity)
        if (!in.i32(q))
            return false;
    for (int32_t& x : sale.extra)
        if (!in.i32(x))
            return false;
    return true;
}

}  // namespace

std::string TarvelServerDoc::toDsr() {
    ByteWriter out;
    out.i32(FILE_VERSION);
    writeArchiveString(out, receiptDir);
    writeArchiveString(out, backupDir);
    out.i32(SLOT_COUNT);
    std::lock_guard<RegisterLock> r(registerLock);
    std::lock_guard<std::mutex> s(salesLock);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        out.i32(positiveTotal[i]);
        out.i32(negativeTotal[i]);
    }
    for (const EcrOnLineComm& slot : slots)
        slot.serialize(out);
    writeArchiveCount(out, sales.size());
    sales.forEach([&out](const SalesTable::Entry& e) { writeEntry(out, e); });
    return out.data();
}

DsrStatus TarvelServerDoc::fromDsr(const std::string& data) {
    clear();
    ByteReader in(data);
    int32_t version = 0;
    int32_t slotCount = 0;
    if (!in.i32(version) || version != FILE_VERSION || !readArchiveString(in, receiptDir) ||
        !readArchiveString(in, backupDir) || !in.i32(slotCount)) {
        clear();
        return DsrStatus::BadFormat;
    }
    if (slotCount != SLOT_COUNT)
        return DsrStatus::WrongSlotCount;

    bool ok = true;
    {
        std::lock_guard<std::mutex> s(salesLock);
        for (int i = 0; ok && i < SLOT_COUNT; ++i)
            ok = in.i32(positiveTotal[i]) && in.i32(negativeTotal[i]);
    }
    for (int i = 0; ok && i < SLOT_COUNT; ++i) {
        ok = slots[i].deserialize(in);
        // A number twice would make two slots answer for one register.
        if (ok && slots[i].logicalNumber != -1)
            ok = findSlot(slots[i].logicalNumber) == i;
    }
    uint32_t count = 0;
    ok = ok && readArchiveCount(in, count);
    for (uint32_t n = 0; ok && n < count; ++n) {
        Plu plu;
        PluSale sale;
        ok = readEntry(in, plu, sale);
        if (ok) {
            std::lock_guard<std::mutex> s(salesLock);
            sales.load(plu, sale);
        }
    }
    if (!ok) {
        clear();
        return DsrStatus::BadFormat;
    }
    setModified(false);
    return DsrStatus::Ok;
}

DsrStatus TarvelServerDoc::readFile(const std::string& path) {
    std::string data;
    if (!readWholeFile(path, data))
        return DsrStatus::ReadError;
    return fromDsr(data);
}

DsrStatus TarvelServerDoc::writeFile(const std::string& path) {
    if (!replaceFile(path, toDsr()))
        return DsrStatus::WriteError;
    setModified(false);
    return DsrStatus::Ok;
}

bool TarvelServerDoc::open(const std::string& path, Prompt& prompt) {
    switch (readFile(path)) {
        case DsrStatus::Ok:
            return true;
        case DsrStatus::WrongSlotCount:
            prompt.message(TEXT_BAD_SLOT_COUNT, PromptIcon::Stop);
            return true;
        case DsrStatus::BadFormat:
            prompt.message(TEXT_UNEXPECTED_FORMAT, PromptIcon::Stop);
            return false;
        default:
            prompt.message(TEXT_OPEN_FAILED, PromptIcon::Stop);
            return false;
    }
}

bool TarvelServerDoc::save(const std::string& path, Prompt& prompt) {
    if (writeFile(path) == DsrStatus::Ok)
        return true;
    prompt.message(TEXT_SAVE_FAILED, PromptIcon::Stop);
    return false;
}

}  // namespace kos
