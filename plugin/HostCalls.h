// Typed calls of the host functions through their slots. A call of a function that stayed
// unbound, or whose absence was ignored, is not made and yields 0.
#pragma once

#include <cstdint>

#include "plugin/HostBinding.h"

namespace tarvel::host {

template <typename Fn, typename... Args>
int32_t call(HostFunction function, Args... args) {
    void* target = boundHostFunction(function);
    if (!target || target == ignoreSubstitute())
        return 0;
    return reinterpret_cast<Fn>(target)(args...);
}

inline int32_t getBuildDate(const char* date) {
    return call<GetBuildDateFn>(HostFunction::GetBuildDate, date);
}
inline TableDescriptor* getTab(int32_t table) {
    void* target = boundHostFunction(HostFunction::GetTab);
    if (!target || target == ignoreSubstitute())
        return nullptr;
    return reinterpret_cast<GetTabFn>(target)(table);
}
inline int32_t errorBox(const char* text) {
    return call<ErrorBoxFn>(HostFunction::ErrorBox, text);
}
inline int32_t messageBox(const char* title, const char* text, int32_t flags) {
    return call<MessageBoxFn>(HostFunction::MessageBox, title, text, flags);
}
inline int32_t getKasaNumer(intptr_t context) {
    return call<GetKasaNumerFn>(HostFunction::GetKasaNumer, context);
}
inline int32_t iniFileRead(const char* section, const char* key, const char* format, char* text,
                           int16_t* number) {
    return call<IniFileFn>(HostFunction::IniFile, int32_t{1}, section, key, format, text, number);
}
inline int32_t iniFileWrite(const char* section, const char* key, const char* format,
                            const char* text, int number) {
    return call<IniFileFn>(HostFunction::IniFile, int32_t{2}, section, key, format, text, number);
}
inline int32_t execLMemDialog(const DialogTemplate* dialog, void* record) {
    return call<ExecLMemDialogFn>(HostFunction::ExecLMemDialog, static_cast<const void*>(dialog), 1,
                                  record, 0);
}
inline int32_t sd2ld(char* destination, const char* date) {
    return call<Sd2ldFn>(HostFunction::Sd2ld, destination, date);
}
inline int32_t newDate(char* date) {
    return call<NewDateFn>(HostFunction::NewDate, date, int32_t{1});
}
inline int32_t addToViewFileEnter(const char* file, const char* text) {
    return call<AddToViewFileEnterFn>(HostFunction::AddToViewFileEnter, file, text);
}
inline int32_t viewFile(const char* file) {
    return call<ViewFileFn>(HostFunction::ViewFile, file);
}
inline int32_t lockHeader(intptr_t document) {
    return call<LockHeaderFn>(HostFunction::LockHeader, document);
}
inline int32_t unlockHeader(intptr_t document) {
    return call<LockHeaderFn>(HostFunction::UnlockHeader, document);
}
inline int32_t lineCount(intptr_t document, int32_t* counter) {
    return call<LineCountFn>(HostFunction::LineCount, document, counter);
}
inline int32_t readSum(intptr_t sums, intptr_t document) {
    return call<SumsFn>(HostFunction::ReadSum, sums, document);
}
inline int32_t saveSum(intptr_t sums, intptr_t document) {
    return call<SumsFn>(HostFunction::SaveSum, sums, document);
}
inline int32_t dajParametrEx(int32_t field, const char* line, char* output, int32_t separator,
                             int32_t length) {
    return call<DajParametrExFn>(HostFunction::DajParametrEx, field, line, output, separator,
                                 length);
}
inline int32_t dajParametr(int32_t field, const char* line, char* output) {
    return call<DajParametrFn>(HostFunction::DajParametr, field, line, output);
}
inline int32_t delSpaces(char* text) {
    return call<DelSpacesFn>(HostFunction::DelSpaces, text);
}
inline int32_t appendLine(int32_t* counter, intptr_t sums, intptr_t document) {
    return call<AppendLineFn>(HostFunction::AppendLine, counter, sums, document);
}
inline int32_t mathCol(intptr_t sums, intptr_t columns, int32_t sign, intptr_t record) {
    return call<MathColFn>(HostFunction::MathCol, sums, columns, sign, record);
}
inline int32_t extendIndexes(intptr_t indexes, int32_t before, int32_t after) {
    return call<ExtendIndexesFn>(HostFunction::ExtendIndexes, indexes, before, after);
}
inline int32_t trimLines(intptr_t document, int32_t count, intptr_t sums) {
    return call<TrimLinesFn>(HostFunction::TrimLines, document, count, sums);
}

}  // namespace tarvel::host
