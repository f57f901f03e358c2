# The plug-in, hostsim and the plug-in's tests alone, as the 32-bit and Windows builds make
# them. On Linux the tests also need kos_core and ecrsim (receipts written by the server).
if(WIN32)
    # tarvel.dll, the "ILOCK.dll" stand-in and the programs side by side, as the loader wants.
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endif()
if(KOS_BUILD_TESTS)
    enable_testing()
endif()
add_subdirectory(plugin)
add_subdirectory(tools/hostsim)
if(NOT WIN32)
    add_subdirectory(tools/ecrsim)
endif()
if(KOS_BUILD_TESTS)
    # Debian ships GoogleTest's sources but no library for the cross targets: build them here.
    if(CMAKE_CROSSCOMPILING AND EXISTS /usr/src/googletest/googletest/CMakeLists.txt)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest
                         EXCLUDE_FROM_ALL)
        target_compile_options(gtest PRIVATE -w)
        if(NOT TARGET GTest::gtest)
            add_library(GTest::gtest ALIAS gtest)
            add_library(GTest::gtest_main ALIAS gtest_main)
        endif()
    endif()
    add_subdirectory(tests)
endif()
