# Install rules of every program, grouped into the components that become the Debian packages:
#   desktop -> kos          KOS, its desktop entry and icon
#   server  -> kos-online   kos-online, kos-articles, kosctl, the systemd unit, /etc/default/kos-online
#   plugin  -> kos-tarvel   libtarvel.so in lib/<triplet>/kos/ (loaded by the host, not linked)
#   tools   -> kos-tools    ecrsim, hostsim
# A program that is not built this time is left out; a new program needs one entry in
# KOS_PROGRAM_COMPONENTS and its man page in docs/man/.

include(GNUInstallDirs)

set(KOS_PROGRAM_COMPONENTS
    KOS=desktop kos-online=server kos-articles=server kosctl=server ecrsim=tools hostsim=tools)
set(KOS_PACKAGE_desktop kos)
set(KOS_PACKAGE_server kos-online)
set(KOS_PACKAGE_plugin kos-tarvel)
set(KOS_PACKAGE_tools kos-tools)
set(KOS_COMPONENTS desktop server plugin tools)

# The component of a program, empty when it has none.
function(kos_component_of program out)
    set(component "")
    foreach(pair IN LISTS KOS_PROGRAM_COMPONENTS)
        if(pair MATCHES "^${program}=(.*)$")
            set(component ${CMAKE_MATCH_1})
        endif()
    endforeach()
    set(${out} ${component} PARENT_SCOPE)
endfunction()

if(CMAKE_LIBRARY_ARCHITECTURE)
    set(KOS_PLUGIN_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/kos)
else()
    set(KOS_PLUGIN_DIR lib/kos)
endif()
# The service's unit and options go to the system's folders whatever the prefix (the packages put
# everything else below /usr); OFF keeps them below the prefix.
option(KOS_INSTALL_SYSTEM_FILES "Install the systemd unit and /etc/default/kos-online to / " ON)
if(KOS_INSTALL_SYSTEM_FILES)
    set(KOS_SYSTEMD_UNIT_DIR /lib/systemd/system)
    set(KOS_ETC_DIR /etc)
else()
    set(KOS_SYSTEMD_UNIT_DIR lib/systemd/system)
    set(KOS_ETC_DIR ${CMAKE_INSTALL_SYSCONFDIR})
endif()

foreach(pair IN LISTS KOS_PROGRAM_COMPONENTS)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 program)
    list(GET pair 1 component)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
    endif()
endforeach()

if(TARGET tarvel)
    install(TARGETS tarvel LIBRARY DESTINATION ${KOS_PLUGIN_DIR} COMPONENT plugin NAMELINK_SKIP)
    # An installed hostsim finds the installed plug-in beside it.
    if(TARGET hostsim)
        file(RELATIVE_PATH plugin_from_bin /${CMAKE_INSTALL_BINDIR} /${KOS_PLUGIN_DIR}/libtarvel.so)
        target_compile_definitions(hostsim PRIVATE TARVEL_INSTALLED_LIBRARY="${plugin_from_bin}")
    endif()
endif()

set(KOS_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
if(TARGET KOS)
    install(FILES ${KOS_PACKAGING_DIR}/kos.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
    install(FILES ${KOS_PACKAGING_DIR}/kos.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT desktop)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kos COMPONENT desktop)
endif()

if(TARGET kos-online)
    install(FILES ${KOS_PACKAGING_DIR}/kos-online.service
            DESTINATION ${KOS_SYSTEMD_UNIT_DIR} COMPONENT server)
    install(FILES ${KOS_PACKAGING_DIR}/kos-online.default
            DESTINATION ${KOS_ETC_DIR}/default RENAME kos-online COMPONENT server)
    install(FILES ${KOS_PACKAGING_DIR}/99-kos-line.rules ${KOS_PACKAGING_DIR}/kos-online.default
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kos-online/examples COMPONENT server)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kos-online COMPONENT server)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kos-online COMPONENT server
            FILES_MATCHING PATTERN "*.md" PATTERN "man" EXCLUDE)
endif()
if(TARGET ecrsim)
    install(FILES ${PROJECT_SOURCE_DIR}/tools/ecrsim/README.md
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kos-tools RENAME README.ecrsim.md
            COMPONENT tools)
    install(FILES ${KOS_PACKAGING_DIR}/examples/articles.txt
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kos-tools/examples COMPONENT tools)
endif()

# Every package carries its copyright file and the changelog (compressed, as Debian wants it).
set(KOS_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${KOS_CHANGELOG_GZ}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${KOS_PACKAGING_DIR}/changelog > ${KOS_CHANGELOG_GZ}
    DEPENDS ${KOS_PACKAGING_DIR}/changelog VERBATIM)
add_custom_target(kos_changelog ALL DEPENDS ${KOS_CHANGELOG_GZ})
foreach(component IN LISTS KOS_COMPONENTS)
    install(FILES ${KOS_PACKAGING_DIR}/copyright ${KOS_CHANGELOG_GZ}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${KOS_PACKAGE_${component}}
            COMPONENT ${component})
endforeach()
