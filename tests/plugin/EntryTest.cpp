// Start-up, compatibility tests, the replaced table handlers and shut-down.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "PluginHarness.h"
#include "plugin/HostApi.h"

namespace kos::test {
namespace {

const std::string HOST_TOO_OLD = toMazovia("Ta wersja programu Mercato nie obsługuje tej wtyczki!");
const std::string NEW_PLUGIN_NEEDED =
    toMazovia("Potrzebna jest nowa wtyczka - zmienił się rozmiar rekordów!");

int32_t TARVEL_CALLEE_CLEANS otherHandler(int32_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                                          intptr_t, intptr_t, intptr_t, intptr_t, intptr_t) {
    return 0;
}

TEST(PluginEntry, ExportsOnlyDllMain) {
    FILE* pipe = popen("nm -D --defined-only " KOS_BINARY_DIR "/plugin/libtarvel.so", "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe)) {
        char type = 0;
        char name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2)
            symbols.push_back(std::string(1, type) + " " + name);
    }
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(symbols, std::vector<std::string>{"T DLLMain"});
}

TEST(PluginEntry, CopiesTheTitleWithItsNulAndNothingMore) {
    PluginHarness plugin;
    char buffer[40];
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(plugin.start(buffer), 0);
    EXPECT_STREQ(buffer, "Odczyt On-Line z TarvelSerwer");
    EXPECT_EQ(buffer[30], '#');

    PluginHarness withoutBuffer;
    EXPECT_EQ(withoutBuffer.start(nullptr), 0);
}

TEST(PluginEntry, CapabilityBitClearIsRefusedBeforeTheBuildDateIsAsked) {
    hostsim::Options options;
    options.capabilities = 0xFFFE;
    PluginHarness plugin(options);
    EXPECT_EQ(plugin.start(), -1);
    EXPECT_EQ(plugin.host().errorBoxes, std::vector<std::string>{HOST_TOO_OLD});
    EXPECT_EQ(plugin.host().buildDateQueries, 0);
    EXPECT_EQ(plugin.host().table(1).handler, plugin.host().ownHandler(1));
    EXPECT_EQ(plugin.host().table(2).handler, plugin.host().ownHandler(2));
}

TEST(PluginEntry, BuildDateFromTheTwentySecondOfOctober2003) {
    struct Case {
        const char* buildDate;
        int32_t result;
    };
    for (Case c : {Case{"Oct 22 2003", 0}, Case{"Oct 21 2003", -1}, Case{"Sep 30 2003", -1},
                   Case{"Jan 02 2004", 0}, Case{"Oct 23 2003", 0}}) {
        SCOPED_TRACE(c.buildDate);
        hostsim::Options options;
        options.buildDate = c.buildDate;
        PluginHarness plugin(options);
        EXPECT_EQ(plugin.start(), c.result);
        EXPECT_EQ(plugin.host().errorBoxes.size(), c.result == 0 ? 0u : 1u);
        if (c.result != 0) {
            EXPECT_EQ(plugin.host().errorBoxes[0], HOST_TOO_OLD);
        }
        EXPECT_EQ(plugin.host().table(2).handler != plugin.host().ownHandler(2), c.result == 0);
    }
}

TEST(PluginEntry, DescriptorLayoutRules) {
    struct Case {
        int table;
        uint16_t recordLength;
        uint16_t layoutMark;
        bool accepted;
    };
    const Case cases[] = {
        {1, 267, 5, true},  {1, 300, 0, true},   {1, 300, 5, false}, {2, 113, 7, true},
        {2, 120, 24, true}, {2, 120, 23, false}, {2, 112, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "table " << c.table << " length " << c.recordLength
                                          << " mark " << c.layoutMark);
        hostsim::Options options;
        options.recordLength[c.table] = c.recordLength;
        options.layoutMark[c.table] = c.layoutMark;
        PluginHarness plugin(options);
        EXPECT_EQ(plugin.start(), c.accepted ? 0 : -1);
        if (c.accepted)
            EXPECT_TRUE(plugin.host().errorBoxes.empty());
        else
            EXPECT_EQ(plugin.host().errorBoxes, std::vector<std::string>{NEW_PLUGIN_NEEDED});
        EXPECT_EQ(plugin.host().table(c.table).handler != plugin.host().ownHandler(c.table),
                  c.accepted);
    }
}

TEST(PluginEntry, WithoutTable2ThePluginStaysIdle) {
    hostsim::Options options;
    options.hasTable[2] = false;
    PluginHarness plugin(options);
    EXPECT_EQ(plugin.start(), 0);
    EXPECT_TRUE(plugin.host().errorBoxes.empty());
    EXPECT_NE(plugin.host().table(1).handler, plugin.host().ownHandler(1));
    EXPECT_EQ(plugin.host().table(2).handler, plugin.host().ownHandler(2));
    plugin.shutDown();
    EXPECT_EQ(plugin.host().table(1).handler, plugin.host().ownHandler(1));
}

TEST(PluginEntry, HandlersPassEveryArgumentAndTheResultOn) {
    PluginHarness plugin;
    ASSERT_EQ(plugin.start(), 0);
    struct Case {
        int table;
        int32_t command;
    };
    for (Case c : {Case{1, 0x3E00}, Case{1, 0x1234}, Case{2, 0x3F00}, Case{2, 0x0100}}) {
        SCOPED_TRACE(::testing::Message() << "table " << c.table << " command " << c.command);
        plugin.host().handlerCalls.clear();
        EXPECT_EQ(plugin.host().sendCommand(c.table, c.command), hostsim::HANDLER_RESULT + c.table);
        ASSERT_EQ(plugin.host().handlerCalls.size(), 1u);
        const hostsim::HandlerCall& call = plugin.host().handlerCalls[0];
        EXPECT_EQ(call.table, c.table);
        const hostsim::HostSim& host = plugin.host();
        const intptr_t expected[11] = {
            c.command,
            reinterpret_cast<intptr_t>(&host.context),
            reinterpret_cast<intptr_t>(&host.lineCounter),
            hostsim::ARGUMENT_MARK + 4,
            hostsim::ARGUMENT_MARK + 5,
            reinterpret_cast<intptr_t>(&host.sums),
            hostsim::ARGUMENT_MARK + 7,
            reinterpret_cast<intptr_t>(&host.document),
            reinterpret_cast<intptr_t>(&host.indexedLines),
            hostsim::ARGUMENT_MARK + 10,
            hostsim::ARGUMENT_MARK + 11,
        };
        for (int i = 0; i < 11; ++i)
            EXPECT_EQ(call.arguments[i], expected[i]) << "argument " << i + 1;
    }
    EXPECT_TRUE(plugin.host().dialogTitles.empty());
}

// A host table without a handler of its own: the replaced handlers answer 0 instead of calling
// address 0.
TEST(PluginEntry, TablesWithoutAHostHandlerAnswerZero) {
    PluginHarness plugin;
    plugin.host().table(1).handler = nullptr;
    plugin.host().table(2).handler = nullptr;
    ASSERT_EQ(plugin.start(), 0);
    EXPECT_EQ(plugin.host().sendCommand(1, 0x1234), 0);
    EXPECT_EQ(plugin.host().sendCommand(2, 0x0100), 0);
    EXPECT_TRUE(plugin.host().handlerCalls.empty());
}

TEST(PluginEntry, ShutDownRestoresReplacedHandlersOnce) {
    PluginHarness plugin;
    ASSERT_EQ(plugin.start(), 0);
    ASSERT_EQ(plugin.start(), 0);  // a second start replaces nothing twice
    plugin.shutDown();
    EXPECT_EQ(plugin.host().table(1).handler, plugin.host().ownHandler(1));
    EXPECT_EQ(plugin.host().table(2).handler, plugin.host().ownHandler(2));
    // A second shut-down has nothing left to write back.
    plugin.host().table(2).handler = &otherHandler;
    plugin.shutDown();
    EXPECT_EQ(plugin.host().table(2).handler, &otherHandler);
}

TEST(PluginEntry, ShutDownAfterARefusedStartWritesBackOnlyWhatWasReplaced) {
    hostsim::Options options;
    options.recordLength[2] = 100;
    options.layoutMark[2] = 1;
    PluginHarness plugin(options);
    EXPECT_EQ(plugin.start(), -1);
    // Table 1 was replaced before table 2 was refused; it stays replaced until shut-down.
    EXPECT_NE(plugin.host().table(1).handler, plugin.host().ownHandler(1));
    plugin.host().table(2).handler = &otherHandler;
    plugin.shutDown();
    EXPECT_EQ(plugin.host().table(1).handler, plugin.host().ownHandler(1));
    EXPECT_EQ(plugin.host().table(2).handler, &otherHandler);

    hostsim::Options old;
    old.buildDate = "Oct 21 2003";
    PluginHarness refused(old);
    EXPECT_EQ(refused.start(), -1);
    refused.host().table(1).handler = &otherHandler;
    refused.shutDown();
    EXPECT_EQ(refused.host().table(1).handler, &otherHandler);
    EXPECT_EQ(refused.host().table(2).handler, refused.host().ownHandler(2));
}

}  // namespace
}  // namespace kos::test
