/* The host environment's "ILOCK.dll": InterlockedExchange for the plug-in. */
__declspec(dllexport) long __stdcall InterlockedExchange(long volatile* target, long value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
