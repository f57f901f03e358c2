// InterlockedExchange taken from "ILOCK.dll", as the host's environment supplies it, rather than
// from the system base library (whose headers make it a compiler intrinsic).
extern "C" __declspec(dllimport) long __stdcall InterlockedExchange(volatile long* target,
                                                                    long value);

namespace tarvel {

long interlockedExchange(volatile long* target, long value) {
    return InterlockedExchange(target, value);
}

}  // namespace tarvel
