// Planted as a system library beside a copy of the program: once loaded, the event below exists.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        ::CreateEventW(nullptr, TRUE, TRUE, L"NudgebellPlantedLibraryLoaded");
    return TRUE;
}
