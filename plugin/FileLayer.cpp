// What the file layers of every platform share.
#include "plugin/FileLayer.h"

namespace tarvel {

bool matchesPattern(const char* pattern, const char* name) {
    const char* star = nullptr;  // the last '*' seen and where its run would end
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

}  // namespace tarvel
