#include "plugin/HostBinding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plugin/HostCalls.h"
#include "plugin/Mazovia.h"
#include "plugin/System.h"
#include "plugin/Texts.h"

namespace tarvel {
namespace {

constexpr const char* NAMES[] = {
    "_getBuildDate@4",   "_gettab@4",
    "_errorBox@4",       "_messageBox@12",
    "_GetKasaNumer@4",   "iniFile",
    "execLMemDialog",    "__sd2ld@8",
    "__newDate@8",       "_AddToViewFileEnter@8",
    "_ViewFile@4",       "_dolockheader@4",
    "_dounlockheader@4", "_odczyt_lpozTab@8",
    "_readsum@8",        "_savesum@8",
    "_DajParametrEx@20", "_DajParametr@12",
    "_delspaces@4",      "_fseek_dopisz@12",
    "_mathcol@16",       "_wydluz_indeksy@12",
    "_skroc_do_lpoz@12", "_CreateProcessANew@40",
};
static_assert(sizeof(NAMES) / sizeof(NAMES[0]) == static_cast<size_t>(HostFunction::Count));

constexpr size_t MISSING_TEXT_LIMIT = 503;  // the text's buffer holds 504 bytes with the NUL
constexpr size_t MODULE_PATH_LIMIT = 300;

int32_t TARVEL_CALLEE_CLEANS ignoredHostFunction() {
    return 0;
}

struct Slot {
    bool bound = false;  // false: the next call goes to the binder
    void* target = nullptr;
};

HostCallback callback_ = nullptr;
Slot slots_[static_cast<size_t>(HostFunction::Count)];

// At most 300 characters; a longer path keeps its end, which names the program.
std::string modulePath() {
    std::string module = hostExecutablePath();
    if (module.empty())
        return text::UNKNOWN_MODULE;
    if (module.size() > MODULE_PATH_LIMIT)
        module = "..." + module.substr(module.size() - (MODULE_PATH_LIMIT - 3));
    return module;
}

std::string formatMissingText(const std::string& module, const std::string& name) {
    static const std::string format = toMazovia(text::MISSING_FUNCTION);
    int length =
        std::snprintf(nullptr, 0, format.c_str(), module.c_str(), name.c_str(), text::TITLE);
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), format.c_str(), module.c_str(), name.c_str(),
                  text::TITLE);
    out.pop_back();
    return out;
}

// True when the user chooses to go on without the function.
bool userIgnoresMissing(HostFunction function) {
    std::string message = missingFunctionText(NAMES[static_cast<size_t>(function)]);
    if (function != HostFunction::MessageBox) {
        static const std::string title = toMazovia(text::MISSING_FUNCTION_TITLE);
        int32_t answer = host::messageBox(title.c_str(), message.c_str(), MESSAGE_BOX_FLAGS);
        return (answer & 0xFFFF) == MESSAGE_BOX_IGNORE;
    }
    for (;;) {
        int32_t answer = systemMessageBox(message.c_str(), text::MISSING_FUNCTION_SYSTEM_TITLE,
                                          SYSTEM_BOX_ABORT_RETRY_IGNORE);
        if (answer != SYSTEM_BOX_RETRY)
            return answer == SYSTEM_BOX_IGNORE;
    }
}

void bind(HostFunction function) {
    Slot& slot = slots_[static_cast<size_t>(function)];
    const char* name = NAMES[static_cast<size_t>(function)];
    slot.bound = true;
    slot.target = nullptr;
    if (callback_)
        slot.target = reinterpret_cast<void*>(
            callback_(CALLBACK_FIND_FUNCTION, reinterpret_cast<intptr_t>(name)));
    if (slot.target)
        return;
    if (userIgnoresMissing(function) && hasIgnoreSubstitute(name))
        slot.target = ignoreSubstitute();
}

}  // namespace

const char* hostFunctionName(HostFunction function) {
    return NAMES[static_cast<size_t>(function)];
}

bool hasIgnoreSubstitute(const std::string& name) {
    size_t at = name.rfind('@');
    if (at == std::string::npos || at + 1 >= name.size() || name[at + 1] < '0' ||
        name[at + 1] > '9')
        return true;
    long argumentBytes = std::strtol(name.c_str() + at + 1, nullptr, 10);
    return argumentBytes / 4 <= 14;
}

void setHostCallback(HostCallback callback) {
    callback_ = callback;
}

HostCallback hostCallback() {
    return callback_;
}

void* boundHostFunction(HostFunction function) {
    Slot& slot = slots_[static_cast<size_t>(function)];
    if (!slot.bound)
        bind(function);
    return slot.target;
}

void* ignoreSubstitute() {
    return reinterpret_cast<void*>(&ignoredHostFunction);
}

std::string missingFunctionText(const std::string& functionName) {
    std::string module = modulePath();
    std::string message = formatMissingText(module, functionName);
    if (message.size() > MISSING_TEXT_LIMIT) {
        size_t excess = message.size() - MISSING_TEXT_LIMIT + 3;
        module = excess < module.size() ? "..." + module.substr(excess) : "...";
        message = formatMissingText(module, functionName);
        if (message.size() > MISSING_TEXT_LIMIT)
            message.resize(MISSING_TEXT_LIMIT);
    }
    return message;
}

}  // namespace tarvel
