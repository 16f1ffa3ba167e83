# fwsetup_add_gtest(NAME SOURCES src... [LIBS lib...] [LOCKS lock...] [TIMEOUT s])
# Builds a GoogleTest program and registers it with ctest as <arch>.<NAME>, run under Wine.
# LOCKS names ctest resource locks: "prefix" for anything that touches the prefix-wide state
# (registry keys of the monitor, the single-instance event, running FirewallSetup.exe).
function(fwsetup_add_gtest name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
    add_test(NAME ${FWSETUP_ARCH}.${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 600)
    endif()
    set_tests_properties(${FWSETUP_ARCH}.${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_LOCKS)
        set_tests_properties(${FWSETUP_ARCH}.${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
endfunction()

# fwsetup_add_script_test(NAME SCRIPT [LOCKS lock...] [TIMEOUT s])
# Registers a bash scenario from tests/ as <arch>.<NAME>. The script gets the architecture
# (x64 or x86) as $1 and runs the program through tools/wine.
function(fwsetup_add_script_test name script)
    cmake_parse_arguments(T "" "TIMEOUT" "LOCKS" ${ARGN})
    add_test(NAME ${FWSETUP_ARCH}.${name} COMMAND bash ${script} ${FWSETUP_ARCH})
    set_tests_properties(${FWSETUP_ARCH}.${name} PROPERTIES ENVIRONMENT "FWSETUP_BUILD_DIR=${FWSETUP_BUILD_DIR}")
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 900)
    endif()
    set_tests_properties(${FWSETUP_ARCH}.${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_LOCKS)
        set_tests_properties(${FWSETUP_ARCH}.${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
endfunction()
