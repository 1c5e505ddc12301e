# Run on the linked program (cmake -DOBJDUMP=... -DPROGRAM=... -P): the libraries it imports by
# name are bound before its first line runs, from the program's own folder first unless the
# system keeps them (its known libraries) or the manifest redirects them (comctl32). So a copy in
# a Downloads folder would load a library of any other name that lies beside it: such a library
# must be bound late, from the system folder (platform/win32's LateBound).
cmake_minimum_required(VERSION 3.20)
set(allowed advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 rpcrt4 shell32
            shlwapi user32 ws2_32)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot read the imports of ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
foreach(import ${imports})
    string(REGEX REPLACE "DLL Name: (.+)\\.[dD][lL][lL]" "\\1" name "${import}")
    string(TOLOWER "${name}" name)
    if(NOT name IN_LIST allowed)
        message(FATAL_ERROR "${PROGRAM} imports ${name}.dll by name; bind it late (LateBound)")
    endif()
endforeach()
