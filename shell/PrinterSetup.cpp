#include "shell/PrinterSetup.h"

#include <QPrinter>

namespace kos {

QPrinter& appPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

}  // namespace kos
