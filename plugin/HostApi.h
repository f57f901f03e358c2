// The binary contract between the plug-in and its host (x86 and x86-64). hostsim includes it too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/Platform.h"

extern "C" {

// Service callback the host hands to DLLMain.
typedef intptr_t(TARVEL_CALLER_CLEANS* HostCallback)(int32_t code, intptr_t arg);

// Command handler of a host table: a command code and ten arguments of the command.
typedef int32_t(TARVEL_CALLEE_CLEANS* TableHandler)(int32_t command, intptr_t a2, intptr_t a3,
                                                    intptr_t a4, intptr_t a5, intptr_t a6,
                                                    intptr_t a7, intptr_t a8, intptr_t a9,
                                                    intptr_t a10, intptr_t a11);

// The one export of the plug-in. A null callback shuts the plug-in down.
typedef int32_t(TARVEL_CALLEE_CLEANS* DllMainFunction)(HostCallback callback, char* buffer);

// What _gettab@4 returns; only the four named fields are the plug-in's business.
struct TableDescriptor {
    uint8_t hostData0[6];
    uint16_t recordLength;
    void* recordBuffer;
    uint16_t layoutMark;
    uint8_t hostData1[tarvel::DESCRIPTOR_GAP];
    TableHandler handler;
};

// The record the import dialog edits.
struct ImportRequest {
    char fromDate[9];  // "YYYYMMDD"
    char toDate[9];
    char uniqueNumber[12];
    int16_t readMode;  // 0 by sales counters, 1 by receipts
};

// Layout of the in-memory dialog template given to execLMemDialog. Texts are Mazovia, '~' marks
// the hot-key letter. Data items edit the dialog's record at dataOffset.
enum DialogItemKind : int32_t {
    DIALOG_LABEL = 1,
    DIALOG_DATE_INPUT = 2,  // a short date text of 9 bytes
    DIALOG_TEXT_INPUT = 3,  // a text of at most maxLength characters and a NUL
    DIALOG_RADIO = 4,       // sets the 16-bit field to value
    DIALOG_BUTTON = 5,      // closes the dialog with result value
};

struct DialogItem {
    int32_t kind;
    int32_t column;
    int32_t row;
    int32_t width;
    const char* text;
    int32_t dataOffset;  // -1 for items without data
    int32_t maxLength;
    int32_t value;
};

struct DialogTemplate {
    int32_t columns;
    int32_t rows;
    const char* title;
    int32_t itemCount;
    const DialogItem* items;
};

// The operating system's message box, replaceable: when the process exports a function of this
// name (for example hostsim), the plug-in calls it; otherwise the text goes to standard error and
// the answer is Abort. Returns one of the SYSTEM_BOX_* answers.
typedef int32_t(TARVEL_CALLER_CLEANS* SystemMessageBoxFunction)(const char* text,
                                                                const char* caption,
                                                                uint32_t style);

// Signatures of the host functions the plug-in calls, asked for by these exported names.
typedef int32_t(TARVEL_CALLEE_CLEANS* GetBuildDateFn)(const char* buildDate);  // "_getBuildDate@4"
typedef TableDescriptor*(TARVEL_CALLEE_CLEANS* GetTabFn)(int32_t table);       // "_gettab@4"
typedef int32_t(TARVEL_CALLEE_CLEANS* ErrorBoxFn)(const char* text);           // "_errorBox@4"
typedef int32_t(TARVEL_CALLEE_CLEANS* MessageBoxFn)(const char* title, const char* text,
                                                    int32_t flags);       // "_messageBox@12"
typedef int32_t(TARVEL_CALLEE_CLEANS* GetKasaNumerFn)(intptr_t context);  // "_GetKasaNumer@4"
typedef int32_t(TARVEL_CALLER_CLEANS* IniFileFn)(int32_t mode, const char* section, const char* key,
                                                 const char* format,
                                                 ...);  // "iniFile"
typedef int32_t(TARVEL_CALLER_CLEANS* ExecLMemDialogFn)(const void* dialogTemplate,
                                                        ...);  // "execLMemDialog"
typedef int32_t(TARVEL_CALLEE_CLEANS* Sd2ldFn)(char* destination, const char* date);  // "__sd2ld@8"
typedef int32_t(TARVEL_CALLEE_CLEANS* NewDateFn)(char* date, int32_t days);  // "__newDate@8"
typedef int32_t(TARVEL_CALLEE_CLEANS* AddToViewFileEnterFn)(
    const char* file,
    const char* text);                                                // "_AddToViewFileEnter@8"
typedef int32_t(TARVEL_CALLEE_CLEANS* ViewFileFn)(const char* file);  // "_ViewFile@4"
typedef int32_t(TARVEL_CALLEE_CLEANS* LockHeaderFn)(
    intptr_t document);  // "_dolockheader@4", "_dounlockheader@4"
typedef int32_t(TARVEL_CALLEE_CLEANS* LineCountFn)(intptr_t document,
                                                   int32_t* counter);  // "_odczyt_lpozTab@8"
typedef int32_t(TARVEL_CALLEE_CLEANS* SumsFn)(intptr_t sums,
                                              intptr_t document);  // "_readsum@8", "_savesum@8"
typedef int32_t(TARVEL_CALLEE_CLEANS* DajParametrExFn)(int32_t field, const char* line,
                                                       char* output, int32_t separator,
                                                       int32_t length);  // "_DajParametrEx@20"
typedef int32_t(TARVEL_CALLEE_CLEANS* DajParametrFn)(int32_t field, const char* line,
                                                     char* output);  // "_DajParametr@12"
typedef int32_t(TARVEL_CALLEE_CLEANS* DelSpacesFn)(char* text);      // "_delspaces@4"
typedef int32_t(TARVEL_CALLEE_CLEANS* AppendLineFn)(int32_t* counter, intptr_t sums,
                                                    intptr_t document);  // "_fseek_dopisz@12"
typedef int32_t(TARVEL_CALLEE_CLEANS* MathColFn)(intptr_t sums, intptr_t columns, int32_t sign,
                                                 intptr_t record);  // "_mathcol@16"
typedef int32_t(TARVEL_CALLEE_CLEANS* ExtendIndexesFn)(intptr_t indexes, int32_t before,
                                                       int32_t after);  // "_wydluz_indeksy@12"
typedef int32_t(TARVEL_CALLEE_CLEANS* TrimLinesFn)(intptr_t document, int32_t count,
                                                   intptr_t sums);  // "_skroc_do_lpoz@12"
}

namespace tarvel {

constexpr int32_t CALLBACK_CAPABILITIES = 1;
constexpr int32_t CALLBACK_FIND_FUNCTION = 2;

constexpr int32_t COMMAND_READ_SALES = 0x3E00;
constexpr int32_t COMMAND_READ_RECEIPTS = 0x3F00;

constexpr int32_t DIALOG_OK = 0x5001;
constexpr int32_t DIALOG_CANCELLED = 0x5002;
constexpr int32_t MESSAGE_BOX_IGNORE = 0x5006;
constexpr int32_t MESSAGE_BOX_FLAGS = 0x700C0;

constexpr const char* SYSTEM_BOX_SYMBOL = "tarvelSystemMessageBox";
constexpr uint32_t SYSTEM_BOX_ABORT_RETRY_IGNORE = 0x2012;
constexpr int32_t SYSTEM_BOX_ABORT = 3;
constexpr int32_t SYSTEM_BOX_RETRY = 4;
constexpr int32_t SYSTEM_BOX_IGNORE = 5;

constexpr int SALES_LINE_SIZE = 113;
constexpr int SALES_LINE_CODE = 40;  // NUL-terminated text up to byte 55
constexpr int SALES_LINE_CODE_SIZE = 16;
constexpr int SALES_LINE_QUANTITY = 56;  // int32, thousandths
constexpr int SALES_LINE_VALUE = 60;     // int32, ten-thousandths of the currency unit

constexpr int TABLE1_RECORD_LENGTH = 267;
constexpr int TABLE1_LAYOUT_MARK = 0;
constexpr int TABLE2_RECORD_LENGTH = SALES_LINE_SIZE;
constexpr int TABLE2_LAYOUT_MARK = 24;

// Pointer-sized fields the plug-in passes on to _mathcol@16 (32-bit on x86).
constexpr int SUMS_COLUMN_DATA = 8;
constexpr int DOCUMENT_CURRENT_RECORD = 16;

}  // namespace tarvel

static_assert(offsetof(TableDescriptor, recordLength) == 6);
static_assert(offsetof(TableDescriptor, recordBuffer) == 8);
static_assert(offsetof(TableDescriptor, layoutMark) == tarvel::DESCRIPTOR_MARK_OFFSET);
static_assert(offsetof(TableDescriptor, handler) == 104);
static_assert(sizeof(ImportRequest) == 32);
static_assert(offsetof(ImportRequest, toDate) == 9);
static_assert(offsetof(ImportRequest, uniqueNumber) == 18);
static_assert(offsetof(ImportRequest, readMode) == 30);
