// Linked into every Windows test binary. GoogleTest copies each failure to
// the debugger with OutputDebugStringA, which raises an exception inside
// kernelbase; when 32-bit Wine runs under qemu-i386 the unwinding after it
// crashes the test, so a failing assertion would kill the whole binary.
// Taking the import's place, this sends debugger output nowhere; the
// failure is printed on the console as always.

#include <windows.h>

static void WINAPI QuietOutputDebugString(LPCSTR) {}

extern "C" void(WINAPI *QuietOutputDebugStringImport)(LPCSTR) asm("__imp__OutputDebugStringA@4");
void(WINAPI *QuietOutputDebugStringImport)(LPCSTR) = QuietOutputDebugString;
