// Qt's own Polish texts, so that its buttons and dialogs (Tak, Nie, Anuluj, the file dialog,
// page set-up, print preview) speak the program's language.
#pragma once

#include <QTranslator>
#include <memory>

namespace kos {

// Installs the translation into the application; none when it is not installed on this system
// (Qt then speaks English). Dropping the translator removes it again.
std::unique_ptr<QTranslator> installQtTranslation();

}  // namespace kos
