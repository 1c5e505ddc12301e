# The per-user Windows Installer package: wixl builds it from res/nudgebellplus.wxs, msibuild adds
# what wixl cannot write. nudgebell_msi(TARGET OUTPUT VERSION NAME): TARGET makes OUTPUT at
# VERSION (numbers, as Windows Installer compares them), shown to the user as NAME.
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)
# Never change it: a newer package finds the installed one by it.
set(NUDGEBELL_UPGRADE_CODE {6B3776E5-AF06-4363-B452-E2F07CC1B2B7})

function(nudgebell_msi target output version shown)
    get_filename_component(name ${output} NAME)
    set(stage ${CMAKE_BINARY_DIR}/msi/${name})
    file(MAKE_DIRECTORY ${stage})
    set(files $<TARGET_FILE:nudgebellplus> ${CMAKE_SOURCE_DIR}/README.md
              ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/res/nudgebellplus.ico)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy ${files} ${stage}
        COMMAND ${WIXL} -a x64 -D Version=${version} -D VersionName=${shown}
                -D UpgradeCode=${NUDGEBELL_UPGRADE_CODE}
                -o ${output} ${CMAKE_SOURCE_DIR}/res/nudgebellplus.wxs
        # "+" has no place in a short name: each long name gets a short one beside it.
        COMMAND ${MSIBUILD} ${output}
            -q "UPDATE `Directory` SET `DefaultDir` = 'NUDGEB~1|Nudgebell+' WHERE `Directory` = 'INSTALLDIR'"
            -q "UPDATE `Shortcut` SET `Name` = 'NUDGEB~1|Nudgebell+' WHERE `Shortcut` = 'MenuEntry'"
            # Removal takes away what the program made: its start-up shortcut (that one file of
            # the folder) and its settings key.
            -q "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`) VALUES ('StartupShortcut', 'Program', 'NUDGEB~1.LNK|Nudgebell+.lnk', 'StartupFolder', 2)"
            -q "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('Settings', 1, 'Software\\Quarnel\\NudgebellPlus', '-', 'Program')"
            -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveRegistryValues', 2600)"
            # An upgrade installs first and removes the older version after: the component they
            # share stays, so its shortcut and settings survive. A rebuild of the same version
            # replaces the installed one too, rather than sit beside it.
            -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
            -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${NUDGEBELL_UPGRADE_CODE}', '${version}', 513, 'WIX_UPGRADE_DETECTED')"
            -q "UPDATE `InstallExecuteSequence` SET `Sequence` = 6601 WHERE `Action` = 'RemoveExistingProducts'"
        WORKING_DIRECTORY ${stage}
        DEPENDS nudgebellplus ${CMAKE_SOURCE_DIR}/res/nudgebellplus.wxs ${files}
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
