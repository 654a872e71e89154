# Run by CPack on its staging folder before it packs: the compilers' notes
# of their own versions (.comment) are of no use in a shipped program. The
# debug information is split off later, into the -dbgsym package.
find_program(TRIM_OBJCOPY objcopy REQUIRED)
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND ${TRIM_OBJCOPY} --remove-section=.comment ${program}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "objcopy could not trim ${program}")
  endif()
endforeach()
