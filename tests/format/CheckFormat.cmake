# Fails, naming the files and lines, when clang-format would change any C++ file of the project.
# The files are git's (so a stray copy in a build folder is not checked); outside a git checkout,
# the project's source folders.
cmake_minimum_required(VERSION 3.25)
set(folders src app cli studio tests bench fuzz)
execute_process(COMMAND git ls-files -- "*.cpp" "*.h" WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE listed RESULT_VARIABLE git_failed ERROR_QUIET)
if(git_failed)
  set(files)
  foreach(folder IN LISTS folders)
    file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    list(APPEND files ${found})
  endforeach()
else()
  string(REPLACE "\n" ";" files "${listed}")
endif()
list(FILTER files EXCLUDE REGEX "^$")
list(LENGTH files count)
if(count EQUAL 0)
  message(FATAL_ERROR "no C++ files found under ${SOURCE_DIR}")
endif()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror --style=file ${files}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE unformatted)
if(unformatted)
  message(FATAL_ERROR "Not formatted: run clang-format -i on the files named above.")
endif()
message(STATUS "${count} files formatted")
