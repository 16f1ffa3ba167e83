# Every test is registered as <arch>.<NAME>. LOCALES entries SUFFIX=LOCALE register it once more
# per entry as <arch>.<NAME>_<SUFFIX>, run with FWSETUP_LANG=LOCALE: tools/wine then runs the
# programs under that Unix locale's system code page (en_US.UTF-8: 1252, zh_CN.UTF-8: 936).
function(fwsetup_register_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;LOCKS;LOCALES;ENVIRONMENT" ${ARGN})
    set(tests ${FWSETUP_ARCH}.${name})
    add_test(NAME ${FWSETUP_ARCH}.${name} COMMAND ${T_COMMAND})
    foreach(entry IN LISTS T_LOCALES)
        string(REGEX MATCH "^([^=]+)=(.+)$" matched "${entry}")
        if(NOT matched)
            message(FATAL_ERROR "LOCALES entry '${entry}' is not SUFFIX=LOCALE")
        endif()
        set(variant ${FWSETUP_ARCH}.${name}_${CMAKE_MATCH_1})
        add_test(NAME ${variant} COMMAND ${T_COMMAND})
        set_tests_properties(${variant} PROPERTIES ENVIRONMENT "FWSETUP_LANG=${CMAKE_MATCH_2}")
        list(APPEND tests ${variant})
    endforeach()
    # The x86 tests run in a Wine prefix of their own, so a lock is one architecture's.
    if(FWSETUP_ARCH STREQUAL "x86")
        list(APPEND T_ENVIRONMENT "FWSETUP_WINEPREFIX=${FWSETUP_BUILD_DIR}/wineprefix-x86")
    endif()
    if(T_ENVIRONMENT)
        set_property(TEST ${tests} APPEND PROPERTY ENVIRONMENT ${T_ENVIRONMENT})
    endif()
    set_tests_properties(${tests} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_LOCKS)
        list(TRANSFORM T_LOCKS APPEND "-${FWSETUP_ARCH}")
        set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
endfunction()

# fwsetup_add_gtest(NAME SOURCES src... [LIBS lib...] [LOCKS lock...] [LOCALES suffix=locale...] [TIMEOUT s])
# Builds a GoogleTest program and registers it with ctest as <arch>.<NAME>, run under Wine.
# LOCKS names ctest resource locks, each taken per architecture: "prefix" for anything that
# touches the prefix-wide state (registry keys of the monitor, the single-instance event, running
# FirewallSetup.exe).
function(fwsetup_add_gtest name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LOCKS;LOCALES" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 600)
    endif()
    fwsetup_register_test(${name} COMMAND ${name} TIMEOUT ${T_TIMEOUT} LOCKS ${T_LOCKS} LOCALES ${T_LOCALES})
endfunction()

# fwsetup_add_script_test(NAME SCRIPT [LOCKS lock...] [LOCALES suffix=locale...] [TIMEOUT s])
# Registers a bash scenario from tests/ as <arch>.<NAME>. The script gets the architecture
# (x64 or x86) as $1 and runs the program through tools/wine.
function(fwsetup_add_script_test name script)
    cmake_parse_arguments(T "" "TIMEOUT" "LOCKS;LOCALES" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 900)
    endif()
    fwsetup_register_test(${name} COMMAND bash ${script} ${FWSETUP_ARCH} TIMEOUT ${T_TIMEOUT} LOCKS ${T_LOCKS}
        LOCALES ${T_LOCALES} ENVIRONMENT "FWSETUP_BUILD_DIR=${FWSETUP_BUILD_DIR}")
endfunction()
