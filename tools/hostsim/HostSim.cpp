#include "HostSim.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "IniFile.h"

namespace hostsim {
namespace {

constexpr size_t GUARD_BYTES = 64;
constexpr unsigned char GUARD = 0xAB;

HostSim* current_ = nullptr;

HostSim& host() {
    return *current_;
}

// --- the host's own table handlers --------------------------------------------------------

template <int Table>
int32_t TARVEL_CALLEE_CLEANS ownTableHandler(int32_t command, intptr_t a2, intptr_t a3, intptr_t a4,
                                             intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8,
                                             intptr_t a9, intptr_t a10, intptr_t a11) {
    host().handlerCalls.push_back({Table, {command, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11}});
    return HANDLER_RESULT + Table;
}

// --- host functions -----------------------------------------------------------------------

int32_t TARVEL_CALLEE_CLEANS getBuildDate(const char* text) {
    ++host().buildDateQueries;
    return static_cast<int32_t>(buildDateValue(text ? text : host().options.buildDate.c_str()));
}

TableDescriptor* TARVEL_CALLEE_CLEANS getTab(int32_t number) {
    if (number < 1 || number > 2 || !host().options.hasTable[number])
        return nullptr;
    return &host().table(number);
}

int32_t TARVEL_CALLEE_CLEANS errorBox(const char* text) {
    host().errorBoxes.push_back(text ? text : "");
    return 0;
}

int32_t TARVEL_CALLEE_CLEANS messageBox(const char* title, const char* text, int32_t flags) {
    host().messageBoxes.push_back({title ? title : "", text ? text : "", uint32_t(flags)});
    return host().options.ignoreMissing ? tarvel::MESSAGE_BOX_IGNORE : 0x5007;
}

int32_t TARVEL_CALLEE_CLEANS getKasaNumer(intptr_t context) {
    if (context != reinterpret_cast<intptr_t>(&host().context))
        host().fault("_GetKasaNumer@4: not the document context");
    return host().context.registerNumber;
}

// Reads "%Ns" and "%d" conversions separated by commas; "%d" stores 16 bits, as the host does.
int32_t TARVEL_CALLER_CLEANS iniFile(int32_t mode, const char* section, const char* key,
                                     const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int32_t result = 0;
    if (mode == 2) {
        char value[256];
        std::vsnprintf(value, sizeof(value), format, arguments);
        result = iniWrite(host().options.iniPath, section, key, value) ? 1 : 0;
    } else if (mode == 1) {
        std::string value;
        if (iniRead(host().options.iniPath, section, key, value)) {
            std::stringstream fields(value);
            std::string conversion;
            std::stringstream conversions(format);
            std::string field;
            while (std::getline(conversions, conversion, ',') && std::getline(fields, field, ',')) {
                if (conversion == "%d") {
                    *va_arg(arguments, int16_t*) = static_cast<int16_t>(std::atoi(field.c_str()));
                } else {
                    int width = std::atoi(conversion.c_str() + 1);
                    char* out = va_arg(arguments, char*);
                    std::snprintf(out, static_cast<size_t>(width) + 1, "%s", field.c_str());
                }
            }
            result = 1;
        }
    } else {
        host().fault("iniFile: mode " + std::to_string(mode));
    }
    va_end(arguments);
    return result;
}

void setText(unsigned char* record, int offset, int maxLength, const std::string& text) {
    char* field = reinterpret_cast<char*>(record + offset);
    std::memset(field, 0, static_cast<size_t>(maxLength) + 1);
    std::memcpy(field, text.data(), std::min<size_t>(text.size(), size_t(maxLength)));
}

int32_t TARVEL_CALLER_CLEANS execLMemDialog(const void* dialogTemplate, ...) {
    va_list arguments;
    va_start(arguments, dialogTemplate);
    int one = va_arg(arguments, int);
    auto* record = va_arg(arguments, unsigned char*);
    int zero = va_arg(arguments, int);
    va_end(arguments);
    if (one != 1 || zero != 0 || !record || !dialogTemplate) {
        host().fault("execLMemDialog: arguments");
        return tarvel::DIALOG_CANCELLED;
    }
    const auto* dialog = static_cast<const DialogTemplate*>(dialogTemplate);
    host().dialogTitles.push_back(dialog->title ? dialog->title : "");
    if (host().options.cancelDialog)
        return tarvel::DIALOG_CANCELLED;
    const Options& options = host().options;
    int dates = 0;
    for (int i = 0; i < dialog->itemCount; ++i) {
        const DialogItem& item = dialog->items[i];
        if (item.kind == DIALOG_DATE_INPUT) {
            const std::string& date = dates++ == 0 ? options.fromDate : options.toDate;
            if (!date.empty())
                setText(record, item.dataOffset, 8, date);
        } else if (item.kind == DIALOG_TEXT_INPUT && !options.uniqueNumber.empty()) {
            setText(record, item.dataOffset, item.maxLength, options.uniqueNumber);
        } else if (item.kind == DIALOG_RADIO && options.readMode == item.value) {
            auto mode = static_cast<int16_t>(item.value);
            std::memcpy(record + item.dataOffset, &mode, sizeof(mode));
        }
    }
    return tarvel::DIALOG_OK;
}

bool parseDate(const char* text, std::tm& date) {
    if (!text || std::strlen(text) != 8 || std::strspn(text, "0123456789") != 8)
        return false;
    int value = std::atoi(text);
    date = {};
    date.tm_year = value / 10000 - 1900;
    date.tm_mon = value / 100 % 100 - 1;
    date.tm_mday = value % 100;
    date.tm_hour = 12;
    return date.tm_mon >= 0 && date.tm_mon < 12 && date.tm_mday >= 1 && date.tm_mday <= 31;
}

int32_t TARVEL_CALLEE_CLEANS sd2ld(char* destination, const char* date) {
    std::tm parts{};
    if (!parseDate(date, parts)) {
        std::strcpy(destination, "00.00.0000");
        return 0;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%02d.%02d.%04d", parts.tm_mday, parts.tm_mon + 1,
                  parts.tm_year + 1900);
    std::memcpy(destination, text, 11);
    destination[10] = '\0';
    return 1;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (no time zone, any platform).
long daysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    long era = (year >= 0 ? year : year - 399) / 400;
    long yearOfEra = year - era * 400;
    long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(long days, int& year, int& month, int& day) {
    days += 719468;
    long era = (days >= 0 ? days : days - 146096) / 146097;
    long dayOfEra = days - era * 146097;
    long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

int32_t TARVEL_CALLEE_CLEANS newDate(char* date, int32_t days) {
    std::tm parts{};
    if (!parseDate(date, parts))
        return 0;
    int year = parts.tm_year + 1900, month = parts.tm_mon + 1, day = parts.tm_mday;
    civilFromDays(daysFromCivil(year, month, day) + days, year, month, day);
    char text[32];
    std::snprintf(text, sizeof(text), "%04d%02d%02d", year, month, day);
    std::memcpy(date, text, 8);
    date[8] = '\0';
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS addToViewFileEnter(const char* file, const char* text) {
    FILE* out = std::fopen(file, "ab");
    if (!out)
        return 0;
    std::fprintf(out, "%s\n", text);
    std::fclose(out);
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS viewFile(const char* file) {
    host().shownFile = file;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    host().shownReport = content.str();
    return 1;
}

bool isDocument(intptr_t document, const char* function) {
    if (document == reinterpret_cast<intptr_t>(&host().document))
        return true;
    host().fault(std::string(function) + ": not the document handle");
    return false;
}

bool isSums(intptr_t sums, const char* function) {
    if (sums == reinterpret_cast<intptr_t>(&host().sums))
        return true;
    host().fault(std::string(function) + ": not the sums handle");
    return false;
}

int32_t TARVEL_CALLEE_CLEANS lockHeader(intptr_t document) {
    if (isDocument(document, "_dolockheader@4"))
        ++host().lockDepth;
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS unlockHeader(intptr_t document) {
    if (!isDocument(document, "_dounlockheader@4"))
        return 0;
    if (host().lockDepth == 0)
        host().fault("_dounlockheader@4: header not locked");
    else
        --host().lockDepth;
    if (host().onHeaderUnlocked)
        host().onHeaderUnlocked();
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS lineCount(intptr_t document, int32_t* counter) {
    if (isDocument(document, "_odczyt_lpozTab@8"))
        *counter = static_cast<int32_t>(host().lines.size());
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS readSum(intptr_t sums, intptr_t document) {
    if (isSums(sums, "_readsum@8") && isDocument(document, "_readsum@8")) {
        host().sums.quantity = host().documentQuantity;
        host().sums.value = host().documentValue;
    }
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS saveSum(intptr_t sums, intptr_t document) {
    if (isSums(sums, "_savesum@8") && isDocument(document, "_savesum@8")) {
        host().documentQuantity = host().sums.quantity;
        host().documentValue = host().sums.value;
    }
    return 1;
}

// Field `field` of the line (numbered from 0), up to the separator, the line end or `length`.
int32_t field(int32_t number, const char* line, char* output, char separator, size_t length) {
    size_t position = 0;
    for (int32_t n = 0; n < number; ++n) {
        while (position < length && line[position] && line[position] != separator)
            ++position;
        if (position >= length || line[position] != separator) {
            output[0] = '\0';
            return 0;
        }
        ++position;
    }
    size_t out = 0;
    while (position < length && line[position] && line[position] != separator &&
           line[position] != '\r' && line[position] != '\n')
        output[out++] = line[position++];
    output[out] = '\0';
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS dajParametrEx(int32_t number, const char* line, char* output,
                                           int32_t separator, int32_t length) {
    if (length != static_cast<int32_t>(std::strlen(line)))
        host().fault("_DajParametrEx@20: line length " + std::to_string(length));
    return field(number, line, output, static_cast<char>(separator), size_t(length));
}

int32_t TARVEL_CALLEE_CLEANS dajParametr(int32_t number, const char* line, char* output) {
    return field(number, line, output, ';', std::strlen(line));
}

int32_t TARVEL_CALLEE_CLEANS delSpaces(char* text) {
    char* out = text;
    for (const char* in = text; *in; ++in)
        if (*in != ' ')
            *out++ = *in;
    *out = '\0';
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS appendLine(int32_t* counter, intptr_t sums, intptr_t document) {
    HostSim& h = host();
    if (!isSums(sums, "_fseek_dopisz@12") || !isDocument(document, "_fseek_dopisz@12"))
        return 0;
    if (h.lockDepth == 0)
        h.fault("_fseek_dopisz@12: header not locked");
    if (*counter != static_cast<int32_t>(h.lines.size()))
        h.fault("_fseek_dopisz@12: counter " + std::to_string(*counter));
    const TableDescriptor& table = h.table(2);
    auto* buffer = static_cast<unsigned char*>(table.recordBuffer);
    h.lines.emplace_back(buffer, buffer + table.recordLength);
    *counter = static_cast<int32_t>(h.lines.size());
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS mathCol(intptr_t sums, intptr_t columns, int32_t sign,
                                     intptr_t record) {
    HostSim& h = host();
    if (!isSums(sums, "_mathcol@16"))
        return 0;
    if (columns != reinterpret_cast<intptr_t>(h.sums.columns) ||
        record != reinterpret_cast<intptr_t>(h.document.currentRecord) || sign != 1) {
        h.fault("_mathcol@16: arguments");
        return 0;
    }
    const auto* line = reinterpret_cast<const unsigned char*>(record);
    if (h.table(2).recordLength < tarvel::SALES_LINE_VALUE + 4)
        return 1;
    int32_t quantity, value;
    std::memcpy(&quantity, line + tarvel::SALES_LINE_QUANTITY, 4);
    std::memcpy(&value, line + tarvel::SALES_LINE_VALUE, 4);
    h.sums.quantity += sign * quantity;
    h.sums.value += sign * value;
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS extendIndexes(intptr_t indexes, int32_t before, int32_t after) {
    HostSim& h = host();
    if (indexes != reinterpret_cast<intptr_t>(&h.indexedLines)) {
        h.fault("_wydluz_indeksy@12: not the index handle");
        return 0;
    }
    if (before != h.indexedLines || after != static_cast<int32_t>(h.lines.size()))
        h.fault("_wydluz_indeksy@12: " + std::to_string(before) + " to " + std::to_string(after));
    h.indexedLines = after;
    return 1;
}

int32_t TARVEL_CALLEE_CLEANS trimLines(intptr_t document, int32_t count, intptr_t sums) {
    HostSim& h = host();
    if (!isDocument(document, "_skroc_do_lpoz@12") || !isSums(sums, "_skroc_do_lpoz@12"))
        return 0;
    if (count < 0 || count > static_cast<int32_t>(h.lines.size()))
        h.fault("_skroc_do_lpoz@12: count " + std::to_string(count));
    else
        h.lines.resize(static_cast<size_t>(count));
    return 1;
}

// The address of a host function, checked against the signature the plug-in calls it with.
template <typename Fn>
void* hostFunction(Fn function) {
    return reinterpret_cast<void*>(function);
}

const std::map<std::string, void*>& hostFunctions() {
    static const std::map<std::string, void*> functions = {
        {"_getBuildDate@4", hostFunction<GetBuildDateFn>(&getBuildDate)},
        {"_gettab@4", hostFunction<GetTabFn>(&getTab)},
        {"_errorBox@4", hostFunction<ErrorBoxFn>(&errorBox)},
        {"_messageBox@12", hostFunction<MessageBoxFn>(&messageBox)},
        {"_GetKasaNumer@4", hostFunction<GetKasaNumerFn>(&getKasaNumer)},
        {"iniFile", hostFunction<IniFileFn>(&iniFile)},
        {"execLMemDialog", hostFunction<ExecLMemDialogFn>(&execLMemDialog)},
        {"__sd2ld@8", hostFunction<Sd2ldFn>(&sd2ld)},
        {"__newDate@8", hostFunction<NewDateFn>(&newDate)},
        {"_AddToViewFileEnter@8", hostFunction<AddToViewFileEnterFn>(&addToViewFileEnter)},
        {"_ViewFile@4", hostFunction<ViewFileFn>(&viewFile)},
        {"_dolockheader@4", hostFunction<LockHeaderFn>(&lockHeader)},
        {"_dounlockheader@4", hostFunction<LockHeaderFn>(&unlockHeader)},
        {"_odczyt_lpozTab@8", hostFunction<LineCountFn>(&lineCount)},
        {"_readsum@8", hostFunction<SumsFn>(&readSum)},
        {"_savesum@8", hostFunction<SumsFn>(&saveSum)},
        {"_DajParametrEx@20", hostFunction<DajParametrExFn>(&dajParametrEx)},
        {"_DajParametr@12", hostFunction<DajParametrFn>(&dajParametr)},
        {"_delspaces@4", hostFunction<DelSpacesFn>(&delSpaces)},
        {"_fseek_dopisz@12", hostFunction<AppendLineFn>(&appendLine)},
        {"_mathcol@16", hostFunction<MathColFn>(&mathCol)},
        {"_wydluz_indeksy@12", hostFunction<ExtendIndexesFn>(&extendIndexes)},
        {"_skroc_do_lpoz@12", hostFunction<TrimLinesFn>(&trimLines)},
    };
    return functions;
}

intptr_t TARVEL_CALLER_CLEANS hostCallback(int32_t code, intptr_t argument) {
    HostSim& h = host();
    if (code == tarvel::CALLBACK_CAPABILITIES) {
        ++h.capabilityQueries;
        return h.options.capabilities;
    }
    if (code != tarvel::CALLBACK_FIND_FUNCTION || !argument)
        return 0;
    std::string name = reinterpret_cast<const char*>(argument);
    ++h.lookups[name];
    if (h.options.missing.count(name))
        return 0;
    auto found = hostFunctions().find(name);
    return found == hostFunctions().end() ? 0 : reinterpret_cast<intptr_t>(found->second);
}

}  // namespace

HostSim::HostSim(const Options& hostOptions) : options(hostOptions) {
    for (int number = 1; number <= 2; ++number) {
        TableDescriptor& table = tables_[number];
        table.recordLength = options.recordLength[number];
        table.layoutMark = options.layoutMark[number];
        buffers_[number].assign(table.recordLength + GUARD_BYTES, GUARD);
        std::memset(buffers_[number].data(), 0, table.recordLength);
        table.recordBuffer = buffers_[number].data();
        table.handler = ownHandler(number);
    }
    context.registerNumber = options.registerNumber;
    sums.columns = &columnData_;
    document.currentRecord = tables_[2].recordBuffer;
    current_ = this;
}

HostSim::~HostSim() {
    if (current_ == this)
        current_ = nullptr;
}

HostSim& HostSim::current() {
    return host();
}

HostCallback HostSim::callback() {
    return &hostCallback;
}

TableHandler HostSim::ownHandler(int number) const {
    return number == 1 ? &ownTableHandler<1> : &ownTableHandler<2>;
}

int32_t HostSim::sendCommand(int number, int32_t command) {
    TableDescriptor& table = tables_[number];
    return table.handler(
        command, reinterpret_cast<intptr_t>(&context), reinterpret_cast<intptr_t>(&lineCounter),
        ARGUMENT_MARK + 4, ARGUMENT_MARK + 5, reinterpret_cast<intptr_t>(&sums), ARGUMENT_MARK + 7,
        reinterpret_cast<intptr_t>(&document), reinterpret_cast<intptr_t>(&indexedLines),
        ARGUMENT_MARK + 10, ARGUMENT_MARK + 11);
}

bool HostSim::guardIntact() const {
    for (int number = 1; number <= 2; ++number)
        for (size_t i = tables_[number].recordLength; i < buffers_[number].size(); ++i)
            if (buffers_[number][i] != GUARD)
                return false;
    return true;
}

uint32_t buildDateValue(const char* text) {
    static const char* MONTHS = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char month[4] = {};
    int day = 0, year = 0;
    if (!text || std::sscanf(text, "%3s %d %d", month, &day, &year) != 3)
        return 0;
    const char* found = std::strstr(MONTHS, month);
    if (!found || std::strlen(month) != 3 || (found - MONTHS) % 3 != 0)
        return 0;
    return static_cast<uint32_t>(year * 10000 + ((found - MONTHS) / 3 + 1) * 100 + day);
}

}  // namespace hostsim

// The operating system's message box as the plug-in finds it in this process.
#if defined(_WIN32)
#define HOSTSIM_EXPORT __declspec(dllexport)
#else
#define HOSTSIM_EXPORT __attribute__((visibility("default")))
#endif

extern "C" HOSTSIM_EXPORT int32_t TARVEL_CALLER_CLEANS tarvelSystemMessageBox(const char* text,
                                                                              const char* caption,
                                                                              uint32_t style) {
    hostsim::HostSim& h = hostsim::HostSim::current();
    h.systemBoxes.push_back({caption ? caption : "", text ? text : "", style});
    size_t asked = h.systemBoxes.size();
    if (asked <= h.options.systemBoxAnswers.size())
        return h.options.systemBoxAnswers[asked - 1];
    return tarvel::SYSTEM_BOX_ABORT;
}
