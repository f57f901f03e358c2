// Lazy binding of host functions, the missing-function dialog and the ignore substitutes.
#include <gtest/gtest.h>
#include <unistd.h>

#include "PluginHarness.h"
#include "plugin/HostBinding.h"

namespace kos::test {
namespace {

std::string executablePath() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path));
    return std::string(path, static_cast<size_t>(length));
}

std::string missingText(const std::string& name) {
    return toMazovia("W module \x02" + executablePath() + "\x01\nbrak wpisu \x02" + name +
                     "\x01\nWywołano z wtyczki \x02Odczyt On-Line z TarvelSerwer\x01.\n\n"
                     "Błąd ten można zignorować lecz dalsza praca\nprogramu w tych warunkach "
                     "może być niebezpieczna.\n\nKonieczna jest aktualizacja programu!");
}

TEST(HostBinding, SubstituteByDecoration) {
    struct Case {
        const char* name;
        bool substitute;
    };
    const Case cases[] = {
        {"_ViewFile@0", true},
        {"_readsum@8", true},
        {"_f@52", true},
        {"_f@56", true},
        {"_f@59", true},
        {"_f@60", false},
        {"_CreateProcessANew@40", true},
        {"_f@100", false},
        {"iniFile", true},
        {"execLMemDialog", true},
        {"_f@x", true},
        {"mail@host@64", false},
        {"trailing@", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tarvel::hasIgnoreSubstitute(c.name), c.substitute) << c.name;
}

TEST(HostBinding, EachFunctionIsBoundOnceAcrossImports) {
    PluginHarness plugin;
    plugin.writeReceipt("20261207_00001_12345_3_15.txt",
                        {receipt::sale("1", "1.00", "1"), receipt::end(15, 3)});
    plugin.import("20261207", "20261207", "ABCDE12345", 1);
    plugin.writeReceipt("20261207_00002_12345_3_16.txt",
                        {receipt::sale("1", "1.00", "1"), receipt::end(16, 3)});
    plugin.import("20261207", "20261208", "ABCDE12345", 1);
    EXPECT_EQ(plugin.host().lookups.size(), 21u);  // all but _messageBox@12 and _errorBox@4
    for (const auto& [name, count] : plugin.host().lookups)
        EXPECT_EQ(count, 1) << name;
    EXPECT_EQ(plugin.host().lookups.count("_messageBox@12"), 0u);
    EXPECT_TRUE(plugin.host().faults.empty());
}

TEST(HostBinding, IgnoredMissingFunctionsReturnZero) {
    struct Case {
        const char* missing;
        const char* section;  // where the configuration entry ends up
        const char* parameterFile;
    };
    // _GetKasaNumer@4 ignored gives register 0; iniFile ignored reads and writes nothing.
    for (Case c : {Case{"_GetKasaNumer@4", "[Tabela0]", "Kasa0.par"},
                   Case{"iniFile", nullptr, "Kasa7.par"}}) {
        SCOPED_TRACE(c.missing);
        hostsim::Options options;
        options.registerNumber = 7;
        options.missing = {c.missing};
        PluginHarness plugin(options);
        plugin.writeReceipt("20261207_00001_12345_3_15.txt",
                            {receipt::sale("1", "2.00", "1"), receipt::end(15, 3)});
        EXPECT_EQ(plugin.import("20261207", "20261207", "12345", 0), hostsim::HANDLER_RESULT + 2);
        ASSERT_EQ(plugin.host().messageBoxes.size(), 1u);
        const hostsim::Box& box = plugin.host().messageBoxes[0];
        EXPECT_EQ(box.title, toMazovia("Poważny błąd wtyczki"));
        EXPECT_EQ(box.text, missingText(c.missing));
        EXPECT_EQ(box.flags, 0x700C0u);
        EXPECT_EQ(readFile(plugin.path(c.parameterFile)), "$3\t15\t1\t0\t1\t1.000\t200\n");
        std::string ini = readFile(plugin.path("host.ini"));
        if (c.section)
            EXPECT_NE(ini.find(std::string(c.section) + "\nNrUnikat=12345,0"), std::string::npos);
        else
            EXPECT_EQ(ini, "");
        // The substitute is bound: the host is not asked again.
        plugin.import("20261207", "20261207", "12345", 0);
        EXPECT_EQ(plugin.host().lookups[c.missing], 1);
        EXPECT_EQ(plugin.host().messageBoxes.size(), 1u);
    }
}

TEST(HostBinding, AbortedFunctionStaysUnboundAndIsNeverCalled) {
    hostsim::Options options;
    options.missing = {"_ViewFile@4"};
    options.ignoreMissing = false;
    PluginHarness plugin(options);
    EXPECT_EQ(plugin.import("20261207", "20261207", "12345", 0), hostsim::HANDLER_RESULT + 2);
    EXPECT_EQ(plugin.host().messageBoxes.size(), 1u);
    EXPECT_TRUE(plugin.host().shownFile.empty());
    plugin.import("20261207", "20261207", "12345", 0);
    EXPECT_EQ(plugin.host().lookups["_ViewFile@4"], 1);
    EXPECT_EQ(plugin.host().messageBoxes.size(), 1u);
}

TEST(HostBinding, MissingMessageBoxUsesTheSystemBoxAndRetryAsksAgainWithoutTheHost) {
    hostsim::Options options;
    options.missing = {"_messageBox@12", "_GetKasaNumer@4"};
    options.systemBoxAnswers = {tarvel::SYSTEM_BOX_RETRY, tarvel::SYSTEM_BOX_RETRY,
                                tarvel::SYSTEM_BOX_IGNORE};
    PluginHarness plugin(options);
    EXPECT_EQ(plugin.import("20261207", "20261207", "12345", 0), hostsim::HANDLER_RESULT + 2);
    ASSERT_EQ(plugin.host().systemBoxes.size(), 3u);
    for (const hostsim::Box& box : plugin.host().systemBoxes) {
        EXPECT_EQ(box.title, "Powazny blad wtyczki");
        EXPECT_EQ(box.text, missingText("_messageBox@12"));
        EXPECT_EQ(box.flags, 0x2012u);
    }
    EXPECT_EQ(plugin.host().lookups["_messageBox@12"], 1);
    // The ignored message box answers 0, which aborts the function that was missing first.
    EXPECT_TRUE(plugin.host().messageBoxes.empty());
    EXPECT_EQ(plugin.host().lookups["_GetKasaNumer@4"], 1);
}

TEST(HostBinding, SystemBoxAbortLeavesTheMessageBoxUnbound) {
    hostsim::Options options;
    options.missing = {"_messageBox@12", "_dolockheader@4", "_dounlockheader@4"};
    PluginHarness plugin(options);
    plugin.writeReceipt("20261207_00001_12345_3_15.txt",
                        {receipt::sale("1", "2.00", "1"), receipt::end(15, 3)});
    EXPECT_EQ(plugin.import("20261207", "20261207", "12345", 0), hostsim::HANDLER_RESULT + 2);
    // Abort by default; the second missing function finds the message box unbound and aborts
    // without asking the host or the user again.
    EXPECT_EQ(plugin.host().systemBoxes.size(), 1u);
    EXPECT_EQ(plugin.host().lookups["_messageBox@12"], 1);
    EXPECT_EQ(plugin.parameterFile(), "$3\t15\t1\t0\t1\t1.000\t200\n");
    EXPECT_TRUE(plugin.host().faults.empty());
}

}  // namespace
}  // namespace kos::test
