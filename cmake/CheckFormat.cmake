# Fails when a C++ file of the tree differs from what clang-format makes of
# it under the project's .clang-format. Run as a test:
#   cmake -DSOURCE_DIR=. -DCLANG_FORMAT=/usr/bin/clang-format -P CheckFormat.cmake
cmake_minimum_required(VERSION 3.25)
set(files "")
foreach(folder src tests bench tools fuzz)
  file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  list(APPEND files ${found})
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${files}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result ERROR_VARIABLE drift)
if(NOT result EQUAL 0)
  string(REGEX MATCHALL "[^\n]*: error: code should be clang-formatted" lines "${drift}")
  list(LENGTH lines count)
  message("${drift}")
  message(FATAL_ERROR "${count} place(s) differ from clang-format: run "
    "`clang-format -i` on the files named above")
endif()
message("every C++ file matches clang-format")
