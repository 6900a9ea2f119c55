# A class graded twice, two at a time: the same files each time, and class.csv
# as tests/class/PROGRAM/class.csv expects it. The class is data:
# tests/class/PROGRAM/submissions/, a folder or a file per student. A case may
# take 2 s: the one that hangs waits that long, not 10 s.
#   cmake -D SOURCE=<the project's folder> -D WORK=<folder> -D PROGRAM=<program>
#         [-D CXX=<compiler>] -P tests/grade_test.cmake
cmake_minimum_required(VERSION 3.25)
set(class "${SOURCE}/tests/class/${PROGRAM}")
include("${SOURCE}/checker/names.cmake")
file(REMOVE_RECURSE "${WORK}")
# Graded from, and into, a folder whose name lists and patterns would misread.
set(odd "${WORK}/]==] a;b [c")
file(COPY "${class}/submissions" DESTINATION "${odd}")
set(compiler "")
if(DEFINED CXX)
  set(compiler "-DCXX=${CXX}")
endif()
foreach(run 2 1)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DJOBS=2 -DTIMEOUT=2 ${compiler} -P "${SOURCE}/checker/grade.cmake"
                          ${PROGRAM} "${odd}/submissions" "${odd}/${run}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "grade.cmake failed:\n${out}${err}")
  endif()
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${class}/class.csv" "${odd}/2/class.csv"
                RESULT_VARIABLE differs)
if(differs)
  file(READ "${odd}/2/class.csv" got)
  message(FATAL_ERROR "class.csv is not ${class}/class.csv:\n${got}")
endif()
folder_entries(GLOB_RECURSE "${odd}/2" file)
folder_entries(GLOB_RECURSE "${odd}/1" again)
if(NOT file_count EQUAL again_count)
  message(FATAL_ERROR "grading again wrote ${again_count} files, not ${file_count}")
endif()
set(i 0)
while(i LESS file_count)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${odd}/2/${file_${i}}" "${odd}/1/${file_${i}}"
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "grading again changed ${file_${i}}")
  endif()
  math(EXPR i "${i} + 1")
endwhile()
message(STATUS "graded twice, the same: ${out}")
