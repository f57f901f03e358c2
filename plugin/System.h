// The few services of the operating system the binding needs.
#pragma once

#include <cstdint>
#include <string>

namespace tarvel {

// The full path of the host's executable file; empty when the system cannot tell it.
std::string hostExecutablePath();

// The operating system's message box without owner window: one of the SYSTEM_BOX_* answers.
// A host process that exports a function named SYSTEM_BOX_SYMBOL gets the call instead.
int32_t systemMessageBox(const char* text, const char* caption, uint32_t style);

}  // namespace tarvel
