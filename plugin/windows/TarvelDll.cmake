# tarvel.dll: DLLMain alone, by name with ordinal 1, in an export directory named "tarvel.DLL";
# the C and C++ runtime linked in statically; the system functions of "32DOS.dll" and the two
# user-interface functions loaded lazily through the plug-in's loading hook; InterlockedExchange
# imported from "ILOCK.dll"; the loader entry is the plug-in's own.
set(TARVEL_WINDOWS_DIR ${CMAKE_CURRENT_SOURCE_DIR}/windows)
set(TARVEL_X86 OFF)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TARVEL_X86 ON)
endif()

# Import libraries from the .def files: on x86 the symbols keep their argument bytes and the
# imported names lose them (--kill-at); on x86-64 there is no decoration at all.
function(tarvel_import_library name def kind)
    file(READ ${TARVEL_WINDOWS_DIR}/${def} text)
    if(NOT TARVEL_X86)
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
    endif()
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/${def})
    file(WRITE ${generated} "${text}")
    set(output ${CMAKE_CURRENT_BINARY_DIR}/lib${name}.a)
    add_custom_command(OUTPUT ${output}
        COMMAND ${KOS_DLLTOOL} --input-def ${generated} ${kind} ${output} --kill-at
        DEPENDS ${TARVEL_WINDOWS_DIR}/${def}
        VERBATIM)
    add_custom_target(tarvel_${name} DEPENDS ${output})
    set(TARVEL_LIB_${name} ${output} PARENT_SCOPE)
endfunction()

tarvel_import_library(32dos_delay 32DOS.def --output-delaylib)
tarvel_import_library(user32_delay USER32.def --output-delaylib)
tarvel_import_library(ilock ILOCK.def --output-lib)

if(TARVEL_X86)
    set(TARVEL_DLL_EXPORTS "LIBRARY \"tarvel.DLL\"\nEXPORTS\n    DLLMain = DLLMain@8 @1\n")
    set(TARVEL_ENTRY _tarvelLoaderEntry@12)
else()
    file(READ ${TARVEL_WINDOWS_DIR}/tarvel.def TARVEL_DLL_EXPORTS)
    set(TARVEL_ENTRY tarvelLoaderEntry)
endif()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/tarvel.def "${TARVEL_DLL_EXPORTS}")

add_library(tarvel SHARED Entry.cpp LoaderWindows.cpp
                          ${CMAKE_CURRENT_BINARY_DIR}/tarvel.def)
add_dependencies(tarvel tarvel_32dos_delay tarvel_user32_delay tarvel_ilock)
set_target_properties(tarvel PROPERTIES PREFIX "" OUTPUT_NAME tarvel)
# The delay-load libraries come before the system's import libraries, and all 43 entries of
# "32DOS.dll" are taken, so the runtime's calls of those functions go through the hook too.
target_link_libraries(tarvel PRIVATE
    tarvel_impl
    -Wl,--whole-archive ${TARVEL_LIB_32dos_delay} -Wl,--no-whole-archive
    ${TARVEL_LIB_user32_delay}
    ${TARVEL_LIB_ilock})
target_link_options(tarvel PRIVATE
    -static-libgcc -static-libstdc++ -static
    -Wl,--entry,${TARVEL_ENTRY}
    -Wl,--no-undefined)

# What the static library imports from "ILOCK.dll" reaches every program linking it.
add_dependencies(tarvel_impl tarvel_ilock)
target_link_libraries(tarvel_impl PUBLIC ${TARVEL_LIB_ilock})

if(KOS_BUILD_TESTS)
    add_test(NAME tarvel_dll_static_checks
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-tarvel-dll.sh ${KOS_OBJDUMP}
                     $<TARGET_FILE:tarvel>)
endif()
