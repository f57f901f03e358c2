// The ".dsr" file of the online document: its byte form.
#include "base/ArchiveString.h"
#include "online/DsrFile.h"

namespace kos {

namespace {

constexpr size_t PLU_IMAGE_SIZE = 12;
constexpr size_t PLU_IMAGE_BCD = 4;
constexpr size_t SALE_IMAGE_SIZE = 100;
// The sale image: 4 bytes, then the quantities and the extra values of every slot.
static_assert(SALE_IMAGE_SIZE == 4 + 2 * SLOT_COUNT * sizeof(int32_t), "sale image size");

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

std::string dsrImage(const std::string& receiptDir, const std::string& backupDir,
                     const std::array<EcrOnLineComm, SLOT_COUNT>& slots,
                     const SalesRecords& sales) {
    ByteWriter out;
    out.i32(DSR_FILE_VERSION);
    writeArchiveString(out, receiptDir);
    writeArchiveString(out, backupDir);
    out.i32(SLOT_COUNT);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        out.i32(sales.positiveTotal[i]);
        out.i32(sales.negativeTotal[i]);
    }
    for (const EcrOnLineComm& slot : slots)
        slot.serialize(out);
    writeArchiveCount(out, sales.table.size());
    sales.table.forEach([&out](const SalesTable::Entry& e) { writeEntry(out, e); });
    return out.data();
}

DsrStatus parseDsr(const std::string& data, DsrContents& out) {
    out = DsrContents();
    ByteReader in(data);
    int32_t version = 0;
    int32_t slotCount = 0;
    if (!in.i32(version) || version != DSR_FILE_VERSION || !readArchiveString(in, out.receiptDir) ||
        !readArchiveString(in, out.backupDir) || !in.i32(slotCount)) {
        out = DsrContents();
        return DsrStatus::BadFormat;
    }
    if (slotCount != SLOT_COUNT)
        return DsrStatus::WrongSlotCount;

    bool ok = true;
    for (int i = 0; ok && i < SLOT_COUNT; ++i)
        ok = in.i32(out.sales.positiveTotal[i]) && in.i32(out.sales.negativeTotal[i]);
    for (int i = 0; ok && i < SLOT_COUNT; ++i) {
        EcrOnLineComm slot;
        ok = slot.deserialize(in);
        out.logicalNumbers[i] = slot.logicalNumber;
        // A number twice would make two slots answer for one register.
        for (int j = 0; ok && j < i && slot.logicalNumber != -1; ++j)
            ok = out.logicalNumbers[j] != slot.logicalNumber;
    }
    uint32_t count = 0;
    ok = ok && readArchiveCount(in, count);
    for (uint32_t n = 0; ok && n < count; ++n) {
        Plu plu;
        PluSale sale;
        ok = readEntry(in, plu, sale);
        if (ok)
            out.sales.table.load(plu, sale);
    }
    if (!ok) {
        out = DsrContents();
        return DsrStatus::BadFormat;
    }
    return DsrStatus::Ok;
}

}  // namespace kos
