# Lists the C++ files clang-format would change.
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
  ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h
  ${SOURCE_DIR}/fuzz/*.cpp)
set(unformatted)
foreach(f IN LISTS files)
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${f}
    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    list(APPEND unformatted ${f})
  endif()
endforeach()
if(unformatted)
  list(JOIN unformatted "\n  " shown)
  message(FATAL_ERROR "not formatted as .clang-format says (run clang-format -i on them):\n  ${shown}")
endif()
