#include "plugin/Plugin.h"

#include <cstring>

#include "plugin/HostCalls.h"
#include "plugin/Loader.h"
#include "plugin/Mazovia.h"
#include "plugin/Texts.h"

namespace tarvel {
namespace {

constexpr const char* REQUIRED_BUILD_DATE = "Oct 22 2003";

ReplacedTable tables_[2];

int32_t TARVEL_CALLEE_CLEANS table1Forwarder(int32_t command, intptr_t a2, intptr_t a3, intptr_t a4,
                                             intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8,
                                             intptr_t a9, intptr_t a10, intptr_t a11) {
    TableHandler saved = tables_[0].saved;
    return saved ? saved(command, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11) : 0;
}

int32_t refuse(const char* message) {
    host::errorBox(toMazovia(message).c_str());
    return -1;
}

// 1 replaced, 0 no such table, -1 the layout does not fit.
int replaceHandler(int table, uint16_t recordLength, uint16_t layoutMark, TableHandler handler) {
    TableDescriptor* descriptor = host::getTab(table);
    if (!descriptor)
        return 0;
    if (descriptor->recordLength != recordLength && descriptor->layoutMark != layoutMark)
        return -1;
    ReplacedTable& state = replacedTable(table);
    state.saved = descriptor->handler;
    state.descriptor = descriptor;
    descriptor->handler = handler;
    return 1;
}

}  // namespace

ReplacedTable& replacedTable(int table) {
    return tables_[table - 1];
}

int32_t startPlugin(HostCallback callback, char* buffer) {
    setHostCallback(callback);
    if (!isNative())
        runDeferredRuntimeStart();
    if (buffer)
        std::memcpy(buffer, text::TITLE, std::strlen(text::TITLE) + 1);

    if ((callback(CALLBACK_CAPABILITIES, 1) & 1) == 0)
        return refuse(text::HOST_TOO_OLD);
    auto required = static_cast<uint32_t>(host::getBuildDate(REQUIRED_BUILD_DATE));
    auto own = static_cast<uint32_t>(host::getBuildDate(nullptr));
    if (own < required)
        return refuse(text::HOST_TOO_OLD);

    if (!replacedTable(1).descriptor &&
        replaceHandler(1, TABLE1_RECORD_LENGTH, TABLE1_LAYOUT_MARK, &table1Forwarder) < 0)
        return refuse(text::NEW_PLUGIN_NEEDED);
    if (replacedTable(2).descriptor)
        return 0;
    if (replaceHandler(2, TABLE2_RECORD_LENGTH, TABLE2_LAYOUT_MARK, &importHandler) < 0)
        return refuse(text::NEW_PLUGIN_NEEDED);
    return 0;
}

void shutDownPlugin() {
    for (int table = 1; table <= 2; ++table) {
        ReplacedTable& state = replacedTable(table);
        if (!state.descriptor)
            continue;
        state.descriptor->handler = state.saved;
        state.descriptor = nullptr;
        state.saved = nullptr;
    }
}

}  // namespace tarvel
