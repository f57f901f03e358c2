# The Debian packages (CPack), one per component of Install.cmake. scripts/package.sh builds them.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kos)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KOS developers")
set(CPACK_PACKAGE_CONTACT "KOS developers <kos@example.org>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# /etc and /lib/systemd are absolute destinations: staged under DESTDIR like /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

set(KOS_MAIN_TARGET_desktop KOS)
set(KOS_MAIN_TARGET_server kos-online)
set(KOS_MAIN_TARGET_plugin tarvel)
set(KOS_MAIN_TARGET_tools ecrsim)
set(CPACK_COMPONENTS_ALL)
foreach(component IN LISTS KOS_COMPONENTS)
    if(TARGET ${KOS_MAIN_TARGET_${component}})
        list(APPEND CPACK_COMPONENTS_ALL ${component})
        string(TOUPPER ${component} upper)
        set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${KOS_PACKAGE_${component}})
        set(CPACK_DEBIAN_${upper}_FILE_NAME DEB-DEFAULT)
    endif()
endforeach()

set(CPACK_DEBIAN_DESKTOP_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_DESKTOP_DESCRIPTION "cash register receipt collector (desktop program)
KOS polls up to 12 electronic cash registers on one RS-232 line, writes
every finished receipt as a text file into a receipt directory and a dated
backup folder, totals the sales per article and register and exports them
to a semicolon-separated file. Its online documents (*.dsr) hold the list of
registers and the sales totals.")

set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_SERVER_PACKAGE_RECOMMENDS "systemd")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${KOS_PACKAGING_DIR}/server/postinst
    ${KOS_PACKAGING_DIR}/server/prerm
    ${KOS_PACKAGING_DIR}/server/postrm
    ${KOS_PACKAGING_DIR}/server/conffiles)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_SERVER_DESCRIPTION "cash register receipt server without windows
kos-online runs the online server of KOS as a system service: it polls up
to 12 cash registers on one serial line and writes every finished receipt
as a text file. The package holds the systemd unit kos-online.service,
running as the system user kos-online with options from
/etc/default/kos-online, and an example udev rule for a stable name of the
USB serial adapter.")

set(CPACK_DEBIAN_PLUGIN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PLUGIN_DESCRIPTION "accounting host plug-in importing cash register receipts
libtarvel.so is loaded by the accounting host program. When the host reads
the sales of a register, it imports the receipt files of a range of days
written by KOS or kos-online, turns them into document lines or a
parameter file, deletes the files it read and shows a report.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_TOOLS_PACKAGE_RECOMMENDS kos-tarvel)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "cash register and accounting host simulators for KOS
ecrsim answers as up to 99 cash registers on a pseudo-terminal, with faults
on request; hostsim stands in for the accounting host and drives the
plug-in libtarvel.so. Both serve tests and demonstrations of KOS and
kos-online without hardware.")

include(CPack)

# The packages built from this tree and checked (tests/package/package_test.sh); label "package".
if(KOS_BUILD_TESTS)
    set(packaged_programs)
    foreach(pair IN LISTS KOS_PROGRAM_COMPONENTS)
        string(REGEX REPLACE "=.*" "" program ${pair})
        if(TARGET ${program})
            list(APPEND packaged_programs ${pair})
        endif()
    endforeach()
    add_test(NAME package
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/package_test.sh
                ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${packaged_programs})
    set_tests_properties(package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600 LABELS package)
endif()
