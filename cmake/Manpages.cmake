# Man pages: docs/man/NAME.SECTION.md (pandoc's Markdown) becomes NAME.SECTION.gz in the build
# folder and is installed with NAME's component. A page whose program is built gets a test that
# compares the options of `NAME --help` with those the page's OPTIONS section lists.
# Adding a program's page is one file: docs/man/NAME.SECTION.md.

find_program(KOS_PANDOC pandoc)
if(NOT KOS_PANDOC)
    message(STATUS "pandoc not found: man pages are neither built nor installed")
endif()

file(GLOB KOS_MAN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.md)
set(KOS_MAN_PAGES)
foreach(source IN LISTS KOS_MAN_SOURCES)
    get_filename_component(page ${source} NAME_WLE)
    if(NOT page MATCHES "^(.+)\\.([1-8])$")
        message(WARNING "${source}: not named PROGRAM.SECTION.md")
        continue()
    endif()
    set(program ${CMAKE_MATCH_1})
    set(section ${CMAKE_MATCH_2})
    if(NOT TARGET ${program})
        continue()
    endif()
    kos_component_of(${program} component)
    if(KOS_PANDOC AND component)
        set(output ${CMAKE_BINARY_DIR}/man/${page}.gz)
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${KOS_PANDOC} --standalone --to man ${source} -o ${CMAKE_BINARY_DIR}/man/${page}
            COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${page}
            DEPENDS ${source} VERBATIM)
        list(APPEND KOS_MAN_PAGES ${output})
        install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
                COMPONENT ${component})
    endif()
    if(KOS_BUILD_TESTS)
        add_test(NAME man_options_${program}
            COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/man_options.sh
                    $<TARGET_FILE:${program}> ${source})
    endif()
endforeach()
if(KOS_MAN_PAGES)
    add_custom_target(kos_man_pages ALL DEPENDS ${KOS_MAN_PAGES})
endif()
