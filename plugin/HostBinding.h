// Lazy binding of the host's functions by name: one slot per function, bound on first use.
#pragma once

#include <string>

#include "plugin/HostApi.h"

namespace tarvel {

enum class HostFunction {
    GetBuildDate,
    GetTab,
    ErrorBox,
    MessageBox,
    GetKasaNumer,
    IniFile,
    ExecLMemDialog,
    Sd2ld,
    NewDate,
    AddToViewFileEnter,
    ViewFile,
    LockHeader,
    UnlockHeader,
    LineCount,
    ReadSum,
    SaveSum,
    DajParametrEx,
    DajParametr,
    DelSpaces,
    AppendLine,
    MathCol,
    ExtendIndexes,
    TrimLines,
    CreateProcessANew,  // takes the runtime's process creation (32-bit Windows)
    Count
};

const char* hostFunctionName(HostFunction function);

// Whether a function of this exported name gets a substitute returning 0 when the user ignores
// its absence: undecorated names and decorations @0 to @56 do, @60 and above do not.
bool hasIgnoreSubstitute(const std::string& name);

void setHostCallback(HostCallback callback);
HostCallback hostCallback();

// The address to call for the function, binding it on first use. nullptr means the function
// stays unbound and the call must not be made; ignoreSubstitute() means the call returns 0.
void* boundHostFunction(HostFunction function);
void* ignoreSubstitute();

// The missing-function text (Mazovia) for a function name, as the dialog shows it.
std::string missingFunctionText(const std::string& functionName);

}  // namespace tarvel
