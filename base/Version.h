// The version of every program of the project ("2.0.5.0"), from the version CMake gives kos_base.
#pragma once

#include <cstring>

#ifndef KOS_VERSION_MAJOR
#error "the version comes from kos_base's compile definitions"
#endif

#define KOS_VERSION_JOIN_(a, b, c, d) #a "." #b "." #c "." #d
#define KOS_VERSION_JOIN(a, b, c, d) KOS_VERSION_JOIN_(a, b, c, d)

namespace kos {

inline constexpr const char* VERSION_TEXT =
    KOS_VERSION_JOIN(KOS_VERSION_MAJOR, KOS_VERSION_MINOR, KOS_VERSION_PATCH, KOS_VERSION_TWEAK);

// True when "--version" is among the arguments; the program then prints its name and
// VERSION_TEXT and ends before looking at anything else.
inline bool askedForVersion(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0)
            return true;
    return false;
}

}  // namespace kos
