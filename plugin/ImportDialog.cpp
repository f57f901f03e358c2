#include "plugin/ImportDialog.h"

#include <cstddef>
#include <string>

#include "plugin/Mazovia.h"
#include "plugin/Texts.h"

namespace tarvel {
namespace {

struct Texts {
    std::string title = toMazovia(text::DIALOG_TITLE);
    std::string from = toMazovia(text::DIALOG_FROM);
    std::string to = toMazovia(text::DIALOG_TO);
    std::string unique = toMazovia(text::DIALOG_UNIQUE);
    std::string byCounters = toMazovia(text::DIALOG_BY_COUNTERS);
    std::string byReceipts = toMazovia(text::DIALOG_BY_RECEIPTS);
    std::string ok = toMazovia(text::DIALOG_OK);
};

constexpr int32_t NO_DATA = -1;

}  // namespace

const DialogTemplate* importDialogTemplate() {
    static const Texts texts;
    static const DialogItem items[] = {
        {DIALOG_LABEL, 2, 2, 3, texts.from.c_str(), NO_DATA, 0, 0},
        {DIALOG_DATE_INPUT, 6, 2, 13, nullptr, offsetof(ImportRequest, fromDate), 8, 0},
        {DIALOG_LABEL, 21, 2, 3, texts.to.c_str(), NO_DATA, 0, 0},
        {DIALOG_DATE_INPUT, 25, 2, 13, nullptr, offsetof(ImportRequest, toDate), 8, 0},
        {DIALOG_LABEL, 2, 4, 23, texts.unique.c_str(), NO_DATA, 0, 0},
        {DIALOG_TEXT_INPUT, 25, 4, 17, nullptr, offsetof(ImportRequest, uniqueNumber), 11, 0},
        {DIALOG_LABEL, 2, 5, 10, "", NO_DATA, 0, 0},
        {DIALOG_RADIO, 1, 6, 41, texts.byCounters.c_str(), offsetof(ImportRequest, readMode), 0, 0},
        {DIALOG_RADIO, 1, 7, 41, texts.byReceipts.c_str(), offsetof(ImportRequest, readMode), 0, 1},
        {DIALOG_BUTTON, 18, 9, 10, texts.ok.c_str(), NO_DATA, 0, DIALOG_OK},
    };
    static const DialogTemplate dialog = {
        45, 12, texts.title.c_str(), static_cast<int32_t>(sizeof(items) / sizeof(items[0])), items};
    return &dialog;
}

}  // namespace tarvel
