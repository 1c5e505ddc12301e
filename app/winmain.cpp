#include "app/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    return ProgramEntry(instance, showCommand);
}
