# Install rules, man pages and Debian packages; included once, after every target exists.
include(${CMAKE_CURRENT_LIST_DIR}/Install.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/Manpages.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/Packaging.cmake)
