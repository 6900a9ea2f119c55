# A kept wrong version must fail: applies one edit from tests/wrong/PROGRAM/ to
# a copy of the program's source, builds it, and runs a check's default cases on it
# (the behaviour cases, then the generated ones); at least one must fail. Run
# by CTest (label `wrong`) with
#   -D EDIT=<edit file> -D SOURCE=<the project's folder> -D WORK=<folder>
#   -D COMPILER=<a g++ or clang++> [-D FLAGS=<more options>]
#   [-D OUTPUT=<file>: what the checker prints, as for ./my_PROGRAM]
#   [-D KEEP=ON: the edited copy stays in WORK, for the browser test to compile]
#
# The version is built as grade.cmake builds one, with the checks for undefined
# behaviour (and on Linux checker/crash.c); where it has some, or crashes, a comment line `# cause: WORDS` says what the
# checker must name, WORDS standing in its output.
#
# An edit file: comment lines starting with #, then
#   in FILE                (FILE relative to the project's folder)
#   --- find
#   the exact text, one or more lines, which must stand once in FILE
#   --- replace with
#   what takes its place
# and as many more pairs of `--- find` and `--- replace with` as the change
# needs; another `in FILE` line goes on in another file.
cmake_minimum_required(VERSION 3.25)

get_filename_component(program "${EDIT}" DIRECTORY)
get_filename_component(program "${program}" NAME)
file(READ "${EDIT}" edit)
# What the checker must name, where the version has undefined behaviour.
string(REGEX MATCHALL "(^|\n)# cause: [^\n]*" causes "${edit}")
while(edit MATCHES "^#[^\n]*\n") # the comments
  string(LENGTH "${CMAKE_MATCH_0}" skip)
  string(SUBSTRING "${edit}" ${skip} -1 edit)
endwhile()

# The copy: the program's folder, and any folder whose header it includes.
file(REMOVE_RECURSE "${WORK}")
file(COPY "${SOURCE}/${program}" DESTINATION "${WORK}")
file(GLOB sources "${WORK}/${program}/*.cpp" "${WORK}/${program}/*.h")
foreach(source IN LISTS sources)
  file(READ "${source}" text)
  string(REGEX MATCHALL "#include \"\\.\\./[^/\"]+/" includes "${text}")
  foreach(include IN LISTS includes)
    string(REGEX REPLACE ".*/([^/]+)/$" "\\1" folder "${include}")
    file(COPY "${SOURCE}/${folder}" DESTINATION "${WORK}")
  endforeach()
endforeach()

# Applies the pairs of text to find and to put in its place, in `pairs`, to
# `file` in the copy.
function(apply file pairs)
  if(NOT EXISTS "${WORK}/${file}")
    message(FATAL_ERROR "${EDIT}: ${file} is not part of ${program}")
  endif()
  file(READ "${WORK}/${file}" text)
  while(NOT pairs STREQUAL "")
    string(FIND "${pairs}" "\n--- replace with\n" middle)
    if(NOT pairs MATCHES "^--- find\n" OR middle LESS 0)
      message(FATAL_ERROR "${EDIT}: expected '--- find', the text, '--- replace with', the text")
    endif()
    math(EXPR start "${middle} + 18")
    math(EXPR length "${middle} - 9")
    string(SUBSTRING "${pairs}" 9 ${length} find)
    string(SUBSTRING "${pairs}" ${start} -1 pairs)
    string(FIND "${pairs}" "\n--- find\n" end)
    if(end LESS 0)
      set(replace "${pairs}")
      set(pairs "")
    else()
      string(SUBSTRING "${pairs}" 0 ${end} replace)
      math(EXPR end "${end} + 1")
      string(SUBSTRING "${pairs}" ${end} -1 pairs)
    endif()
    string(FIND "${text}" "${find}" at)
    string(FIND "${text}" "${find}" last REVERSE)
    if(at LESS 0)
      message(FATAL_ERROR "${EDIT}: the text to find is no longer in ${file}; update the edit:\n${find}")
    elseif(NOT at EQUAL last)
      message(FATAL_ERROR "${EDIT}: the text to find stands more than once in ${file}; make it longer")
    endif()
    string(REPLACE "${find}" "${replace}" text "${text}")
  endwhile()
  file(WRITE "${WORK}/${file}" "${text}")
endfunction()

string(REGEX REPLACE "\n$" "" edit "${edit}")
while(NOT edit STREQUAL "")
  if(NOT edit MATCHES "^in ([^\n]+)\n")
    message(FATAL_ERROR "${EDIT}: expected 'in FILE', '--- find', the text, '--- replace with', the text")
  endif()
  set(file "${CMAKE_MATCH_1}")
  string(LENGTH "${CMAKE_MATCH_0}" skip)
  string(SUBSTRING "${edit}" ${skip} -1 edit)
  string(FIND "${edit}" "\nin " next)
  if(next LESS 0)
    apply("${file}" "${edit}")
    set(edit "")
  else()
    string(SUBSTRING "${edit}" 0 ${next} pairs)
    apply("${file}" "${pairs}")
    math(EXPR next "${next} + 1")
    string(SUBSTRING "${edit}" ${next} -1 edit)
  endif()
endwhile()

# Its main module and other modules, as programs.json names them.
include("${SOURCE}/checker/programs.cmake")
file(READ "${SOURCE}/programs.json" facts)
string(JSON count LENGTH "${facts}")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON name GET "${facts}" ${i} name)
  if(name STREQUAL program)
    program_sources("${facts}" ${i} modules)
    list(TRANSFORM modules PREPEND "${WORK}/${program}/")
  endif()
endforeach()
separate_arguments(flags NATIVE_COMMAND "${FLAGS}")
# The one compile line a student's version is built with (checker/flags.txt).
file(STRINGS "${SOURCE}/checker/flags.txt" line REGEX "^c\\+\\+ ")
file(STRINGS "${SOURCE}/checker/flags.txt" link REGEX "^link ")
file(STRINGS "${SOURCE}/checker/flags.txt" checks REGEX "^checks ")
separate_arguments(line UNIX_COMMAND "${line} ${checks}")
separate_arguments(link UNIX_COMMAND "${link}")
list(REMOVE_ITEM line checks)
list(REMOVE_AT line 0)
list(REMOVE_AT link 0)
# On Linux, with checker/crash.c as grade.cmake links it: a crash is told too.
set(crash "")
if(CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  execute_process(COMMAND "${COMPILER}" -x c -std=c17 -O2 -c -o "${WORK}/crash.o" "${SOURCE}/checker/crash.c"
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "checker/crash.c does not build:\n${errors}")
  endif()
  set(crash "${WORK}/crash.o")
endif()
execute_process(COMMAND "${COMPILER}" ${line} ${flags} -o "${WORK}/wrong-${program}" ${modules} ${crash} ${link}
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${EDIT}: the wrong version does not build:\n${errors}")
endif()

# The behaviour cases first, and the rest of a check's default, the generated
# ones, only when they all pass.
execute_process(COMMAND "${CMAKE_COMMAND}" -P "${SOURCE}/checker/check.cmake" ${program} "${WORK}/wrong-${program}"
                        behaviour
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(status EQUAL 0)
  execute_process(COMMAND "${CMAKE_COMMAND}" -P "${SOURCE}/checker/check.cmake" ${program} "${WORK}/wrong-${program}"
                          generated
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
endif()
if(DEFINED OUTPUT) # what a student sees, with the version built as ./my_PROGRAM
  execute_process(COMMAND "${CMAKE_COMMAND}" -P "${SOURCE}/checker/check.cmake" ${program} "${WORK}/wrong-${program}"
                  OUTPUT_VARIABLE both ERROR_VARIABLE both)
  string(REPLACE "${WORK}/wrong-${program}" "./my_${program}" both "${both}")
  string(REPLACE "${SOURCE}/" "" both "${both}")
  file(WRITE "${OUTPUT}" "${both}")
endif()
if(NOT KEEP)
  file(REMOVE_RECURSE "${WORK}")
endif()
string(REGEX MATCHALL "(^|\n)FAIL [^:]+" failures "${out}")
string(REGEX MATCH "[0-9]+ passed, [0-9]+ failed[^\n]*" summary "${out}")
if(status EQUAL 0 OR failures STREQUAL "")
  message(FATAL_ERROR "${EDIT}: the wrong version passes every behaviour and generated case: ${summary}\n${out}${err}")
endif()
foreach(cause IN LISTS causes)
  string(REGEX REPLACE "^\n?# cause: " "" cause "${cause}")
  string(FIND "${out}" "${cause}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${EDIT}: the checker does not name the cause, '${cause}':\n${out}${err}")
  endif()
endforeach()
string(REPLACE "\nFAIL " "" failures "${failures}")
string(REPLACE "FAIL " "" failures "${failures}")
list(JOIN failures ", " failures)
message(STATUS "caught (${summary}): ${failures}")
