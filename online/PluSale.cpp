#include "online/PluSale.h"

namespace kos {

bool PluSale::isEmpty() const {
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (quantity[i] != 0 || extra[i] != 0)
            return false;
    return true;
}

void PluSale::serialize(ByteWriter& out) const {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        out.i32(quantity[i]);
        out.i32(extra[i]);
    }
}

bool PluSale::deserialize(ByteReader& in) {
    PluSale read;
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (!in.i32(read.quantity[i]) || !in.i32(read.extra[i]))
            return false;
    *this = read;
    return true;
}

}  // namespace kos
