# The generated cases are what the generator writes: regenerated from the
# program's description with the project's seed, by this build's worked
# example, they must equal checker/cases/PROGRAM/generated file for file.
#   cmake -D SOURCE=<the project's folder> -D PROGRAM=<program> -D EXAMPLE=<its executable>
#         -D SEED=<seed> -D WORK=<folder> -P tests/generated_test.cmake
cmake_minimum_required(VERSION 3.25)
include("${SOURCE}/checker/names.cmake")
execute_process(COMMAND "${CMAKE_COMMAND}" -D SEED=${SEED} -P "${SOURCE}/checker/generate.cmake"
                        ${PROGRAM} "${EXAMPLE}" "${WORK}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed")
endif()
set(committed "${SOURCE}/checker/cases/${PROGRAM}/generated")
folder_entries(GLOB "${WORK}" made)
folder_entries(GLOB "${committed}" kept)
if(NOT made_count EQUAL kept_count)
  message(FATAL_ERROR "the generator writes ${made_count} files; ${committed} holds ${kept_count}")
endif()
set(i 0)
while(i LESS made_count)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${made_${i}}" "${committed}/${made_${i}}"
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${committed}/${made_${i}} is not what the generator writes: generate them again "
                        "(HACKING.md) and look at the difference")
  endif()
  math(EXPR i "${i} + 1")
endwhile()
