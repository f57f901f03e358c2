// Command identifiers only the online document handles (its menu "Plik").
#pragma once

namespace kos::cmd {

enum : int {
    EXPORT_SALES = 32773,
    EXPORT_SALES_RESET = 32774,
};

}  // namespace kos::cmd
