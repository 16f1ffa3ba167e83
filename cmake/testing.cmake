# The order the tests start in, the same for both architectures: quick tests that see the most
# faults first, so that a run that stops at the first failure (tools/mutate) stops early. ctest
# starts the test of the highest COST among those it may start (their locks free), so the list
# becomes falling costs; a test not listed starts last. The fault matrix runs in a prefix of its
# own and takes the second slot once the in-process tests are done; the scenarios follow it in
# the first.
set(FWSETUP_TEST_ORDER
    static_build manifest xp_imports xp_imports_catch firewall_tests task_unit task_prefix ui_textfile app_prefix ui_dialogs
    e2e_silent e2e_wizard fault_matrix e2e_messages badinput_readme badinput_registry
    e2e_os_version badinput_cmdline badinput_anomalies badinput_names e2e_deploy
    second_start stress e2e_silent_cp1252 e2e_silent_cp936 e2e_wizard_cp1252 e2e_wizard_cp936
    e2e_messages_cp1252 firewall_texts_cp1252 ui_dialogs_dpi144 ui_dialogs_dpi192 e2e_planted
    badinput_manyports e2e_run_demo release
    toolchain_smoke simfw_guard simfw_tests)

# fwsetup_order_test(TEST NAME): TEST's COST from NAME's place in FWSETUP_TEST_ORDER.
function(fwsetup_order_test test name)
    list(LENGTH FWSETUP_TEST_ORDER count)
    list(FIND FWSETUP_TEST_ORDER ${name} index)
    if(index GREATER_EQUAL 0)
        math(EXPR cost "${count} - ${index}")
        set_tests_properties(${test} PROPERTIES COST ${cost})
    endif()
endfunction()

# Every test is registered as <arch>.<NAME>. LOCALES entries SUFFIX=LOCALE register it once more
# per entry as <arch>.<NAME>_<SUFFIX>, run with FWSETUP_LANG=LOCALE: tools/wine then runs the
# programs under that Unix locale's system code page (en_US.UTF-8: 1252, zh_CN.UTF-8: 936).
#
# Every x86 test runs x86 code, which some machines cannot run: there it is reported as skipped,
# with the reason (tools/can-run-x86), instead of failing. A test program named by its target
# runs through the emulator (tools/wine), spelled out here because the probe comes first.
function(fwsetup_register_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;LOCKS;LOCALES;ENVIRONMENT" ${ARGN})
    if(FWSETUP_ARCH STREQUAL "x86")
        list(POP_FRONT T_COMMAND program)
        if(TARGET ${program})
            set(program ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${program}>)
        endif()
        set(T_COMMAND ${PROJECT_SOURCE_DIR}/tools/can-run-x86 --or-skip ${program} ${T_COMMAND})
    endif()
    set(tests ${FWSETUP_ARCH}.${name})
    add_test(NAME ${FWSETUP_ARCH}.${name} COMMAND ${T_COMMAND})
    fwsetup_order_test(${FWSETUP_ARCH}.${name} ${name})
    foreach(entry IN LISTS T_LOCALES)
        string(REGEX MATCH "^([^=]+)=(.+)$" matched "${entry}")
        if(NOT matched)
            message(FATAL_ERROR "LOCALES entry '${entry}' is not SUFFIX=LOCALE")
        endif()
        set(variant ${FWSETUP_ARCH}.${name}_${CMAKE_MATCH_1})
        add_test(NAME ${variant} COMMAND ${T_COMMAND})
        fwsetup_order_test(${variant} ${name}_${CMAKE_MATCH_1})
        set_tests_properties(${variant} PROPERTIES ENVIRONMENT "FWSETUP_LANG=${CMAKE_MATCH_2}")
        list(APPEND tests ${variant})
    endforeach()
    # The x86 tests run in a Wine prefix of their own, so a lock is one architecture's.
    if(FWSETUP_ARCH STREQUAL "x86")
        list(APPEND T_ENVIRONMENT "FWSETUP_WINEPREFIX=${FWSETUP_BUILD_DIR}/wineprefix-x86")
        set_tests_properties(${tests} PROPERTIES SKIP_RETURN_CODE 77)
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

# fwsetup_add_script_test(NAME SCRIPT [LOCKS lock...] [LOCALES suffix=locale...] [TIMEOUT s] [PREFIX dir])
# Registers a bash scenario from tests/ as <arch>.<NAME>. The script gets the architecture
# (x64 or x86) as $1 and runs the program through tools/wine, in the Wine prefix PREFIX when
# given (one that tools/test makes ready).
function(fwsetup_add_script_test name script)
    cmake_parse_arguments(T "" "TIMEOUT;PREFIX" "LOCKS;LOCALES" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 900)
    endif()
    set(environment "FWSETUP_BUILD_DIR=${FWSETUP_BUILD_DIR}")
    if(T_PREFIX)
        list(APPEND environment "FWSETUP_WINEPREFIX=${T_PREFIX}")
    endif()
    fwsetup_register_test(${name} COMMAND bash ${script} ${FWSETUP_ARCH} TIMEOUT ${T_TIMEOUT} LOCKS ${T_LOCKS}
        LOCALES ${T_LOCALES} ENVIRONMENT ${environment})
endfunction()
