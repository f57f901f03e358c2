# 32-bit x86 Linux with Debian's cross compiler; programs run under qemu-i386-static with the
# cross sysroot as their root for the loader and libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(KOS_CROSS_SYSROOT /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH ${KOS_CROSS_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Threads hang when qemu maps the sysroot with -L; the sysroot's own loader is run instead.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static ${KOS_CROSS_SYSROOT}/lib/ld-linux.so.2
    --library-path ${KOS_CROSS_SYSROOT}/lib)
