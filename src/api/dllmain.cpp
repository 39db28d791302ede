// SPDX-License-Identifier: MIT
// The Windows DLL entry point, which only reports success: all state is created by init_gef.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#endif
