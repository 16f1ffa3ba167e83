# fwsetup_split_debug_info(TARGET): after each link, the target's symbols and debug sections move
# to <file>.debug beside it, which the stripped binary names (with its checksum) for a debugger to
# find. Under Wine a DLL's debug sections are read into memory at every load like its code, so an
# unstripped DLL that COM loads once per operation costs every operation. objcopy would stamp both
# files with the time of the copy unless SOURCE_DATE_EPOCH gives one.
function(fwsetup_split_debug_info target)
    set(file $<TARGET_FILE_NAME:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
        COMMAND env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${file}.debug ${file}
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()
