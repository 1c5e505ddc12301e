#include "app/app.h"
#include "platform/process.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    // Before anything can load a library: whatever the system loads for the program comes from
    // the system folder, never from the program's own (a Downloads folder holds anything).
    plat::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return ProgramEntry(instance, showCommand);
}
