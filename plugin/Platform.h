// The host's calling conventions and field widths on each platform the plug-in is built for.
// On x86 (32-bit Linux and Windows, the host's own platform) host functions and table handlers
// clean their arguments off the stack themselves, the callback leaves that to its caller, and
// every pointer is 32 bits wide. On x86-64 there is one convention and pointers are 64 bits.
// (The underscored spellings stay clear of the system headers' macros of the same names.)
#pragma once

#if defined(__i386__)
#define TARVEL_CALLEE_CLEANS __attribute__((__stdcall__))
#define TARVEL_CALLER_CLEANS __attribute__((__cdecl__))
#else
#define TARVEL_CALLEE_CLEANS
#define TARVEL_CALLER_CLEANS
#endif

#if defined(_WIN32)
#define TARVEL_EXPORT
#else
#define TARVEL_EXPORT __attribute__((visibility("default")))
#endif

namespace tarvel {

// Bytes between the layout mark and the handler field of a table descriptor: the mark sits
// right after the record buffer's pointer (byte 12 on x86, 16 on x86-64), the handler at 104.
constexpr unsigned DESCRIPTOR_MARK_OFFSET = 8 + sizeof(void*);
constexpr unsigned DESCRIPTOR_GAP = 104 - DESCRIPTOR_MARK_OFFSET - 2;

}  // namespace tarvel
