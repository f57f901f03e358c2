// The stand-in for the host program: its callback, its tables and every host function the
// plug-in calls, over an in-memory sales document. One HostSim is current at a time, because
// the host functions are plain C functions without a context.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "plugin/HostApi.h"

namespace hostsim {

struct Options {
    uint32_t capabilities = 1;
    std::string buildDate = "Mar 14 2005";  // the host's own, "Mmm DD YYYY"
    bool hasTable[3] = {false, true, true};
    uint16_t recordLength[3] = {0, 267, 113};
    uint16_t layoutMark[3] = {0, 0, 24};
    std::set<std::string> missing;          // host functions the host lacks
    bool ignoreMissing = true;              // answer of the host's missing-function dialog
    std::vector<int32_t> systemBoxAnswers;  // in order; Abort once they run out
    int registerNumber = 1;
    std::string iniPath = "hostsim.ini";
    // The import dialog: cancel, or the fields to fill (empty or -1: left as the plug-in set them).
    bool cancelDialog = false;
    std::string fromDate, toDate, uniqueNumber;
    int readMode = -1;
};

struct HandlerCall {
    int table;
    intptr_t arguments[11];
};

struct Box {
    std::string title;  // Mazovia as the plug-in passed it
    std::string text;
    uint32_t flags;
};

// Handles the plug-in gets from the host; the plug-in reads the fields at bytes 8 and 16.
struct SumsHandle {
    int64_t hostData = 0;
    const void* columns = nullptr;
    int64_t quantity = 0;
    int64_t value = 0;
};
struct DocumentHandle {
    int64_t hostData[2] = {};
    const void* currentRecord = nullptr;
};
struct DocumentContext {
    int registerNumber = 0;
};

class HostSim {
public:
    explicit HostSim(const Options& options);
    ~HostSim();
    HostSim(const HostSim&) = delete;
    HostSim& operator=(const HostSim&) = delete;

    static HostSim& current();
    static HostCallback callback();

    TableDescriptor& table(int number) { return tables_[number]; }
    TableHandler ownHandler(int number) const;
    // Calls the table's present handler the way the host does; the other arguments are marks
    // that the host's own handler checks arrive unchanged.
    int32_t sendCommand(int table, int32_t command);

    Options options;
    // the document
    std::vector<std::vector<unsigned char>> lines;
    int32_t lineCounter = 0;
    int64_t documentQuantity = 0;
    int64_t documentValue = 0;
    int32_t indexedLines = 0;
    int lockDepth = 0;
    SumsHandle sums;
    DocumentHandle document;
    DocumentContext context;
    // what the plug-in did
    std::map<std::string, int> lookups;  // callback code 2 per name
    int capabilityQueries = 0;
    int buildDateQueries = 0;
    std::vector<std::string> errorBoxes;
    std::vector<Box> messageBoxes;
    std::vector<Box> systemBoxes;
    std::vector<HandlerCall> handlerCalls;  // calls that reached the host's own handlers
    std::vector<std::string> dialogTitles;
    std::string shownFile;            // name given to _ViewFile@4
    std::string shownReport;          // its content at that moment
    std::vector<std::string> faults;  // misuse of a host function the host noticed
    // Called by _dounlockheader@4 after each unlock; lets a test act in the middle of an import.
    std::function<void()> onHeaderUnlocked;

    void fault(const std::string& what) { faults.push_back(what); }
    bool guardIntact() const;

private:
    TableDescriptor tables_[3] = {};
    std::vector<unsigned char> buffers_[3];
    int columnData_ = 0;
};

// Marks passed as handler arguments 4, 5, 7, 10 and 11.
constexpr intptr_t ARGUMENT_MARK = 0x5A000;
// What the host's own handler of a table returns.
constexpr int32_t HANDLER_RESULT = 0x700;

// Value of a build-date text "Mmm DD YYYY" that grows with the date; 0 when unreadable.
uint32_t buildDateValue(const char* text);

}  // namespace hostsim
