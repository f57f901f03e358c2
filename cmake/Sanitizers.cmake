# KOS_SANITIZE builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (the
# second suite of scripts/test.sh); KOS_FUZZ adds the libFuzzer targets of fuzz/ (clang only,
# sanitized too). Neither changes the normal build.
option(KOS_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KOS_FUZZ "Build the libFuzzer targets (clang)" OFF)

if(KOS_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KOS_FUZZ needs clang (CC=clang CXX=clang++)")
    endif()
    set(KOS_SANITIZE ON)
    # Coverage for the fuzzer in every library the targets link.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(KOS_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
