// The one printer set-up of the program, shared by "Ustawienia strony" and every print job.
#pragma once

class QPrinter;

namespace kos {

QPrinter& appPrinter();

}  // namespace kos
