# The README's example failing runs are what the checker prints: each block
# after a line `<!-- output of tests/wrong/PROGRAM/NAME.edit -->` must match the
# output for that kept wrong version, line for line, where a line "..." stands
# for any number of lines. The README builds a version with checker/flags.txt's
# line, its table says what programs.json says, and the docs state the limits
# checker/limits.json sets. Run by CTest with -D SOURCE=<the project's folder>
# -D WORK=<folder> -D COMPILER=<a g++ or clang++>.
cmake_minimum_required(VERSION 3.25)
file(READ "${SOURCE}/README.md" readme)
string(REPLACE ";" "<semicolon>" readme "${readme}")
string(REGEX MATCHALL "<!-- output of [^ ]+ -->\n```\n[^`]*```" examples "${readme}")
if(examples STREQUAL "")
  message(FATAL_ERROR "README.md shows no example run")
endif()

# Text as a list of lines, without trailing empty ones.
function(lines_of text out)
  string(REGEX REPLACE "\n+$" "" text "${text}")
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

foreach(example IN LISTS examples)
  string(REGEX MATCH "<!-- output of ([^ ]+) -->\n```\n\\$ [^\n]*\n(.*)```" ignored "${example}")
  set(edit "${CMAKE_MATCH_1}")
  lines_of("${CMAKE_MATCH_2}" want)
  if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.29) # no "CMake Error" heading there
    list(FILTER want EXCLUDE REGEX "^CMake Error at ")
    list(TRANSFORM want REPLACE "^   check: " "check: ")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -D EDIT=${SOURCE}/${edit} -D SOURCE=${SOURCE}
                          -D WORK=${WORK} -D COMPILER=${COMPILER} -D OUTPUT=${WORK}.out
                          -P ${SOURCE}/tests/wrong.cmake
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${edit}: ${errors}")
  endif()
  file(READ ${WORK}.out got_text)
  file(REMOVE ${WORK}.out)
  lines_of("${got_text}" got)
  list(LENGTH want wants)
  list(LENGTH got gots)
  set(j 0)
  set(skipping FALSE)
  foreach(line IN LISTS want)
    if(line STREQUAL "...")
      set(skipping TRUE)
      continue()
    endif()
    set(found FALSE)
    while(j LESS gots)
      list(GET got ${j} actual)
      math(EXPR j "${j} + 1")
      if(actual STREQUAL line)
        set(found TRUE)
        break()
      elseif(NOT skipping)
        break()
      endif()
    endwhile()
    if(NOT found)
      string(REPLACE "<semicolon>" ";" got_text "${got_text}")
      message(FATAL_ERROR "README.md, the run of ${edit}: the line\n${line}\n"
                          "is not where the checker prints it; it prints:\n${got_text}")
    endif()
    set(skipping FALSE)
  endforeach()
  if(j LESS gots AND NOT skipping)
    message(FATAL_ERROR "README.md, the run of ${edit}: the checker prints more:\n${got_text}")
  endif()
  message(STATUS "README.md shows ${edit} as the checker prints it")
endforeach()

# The README builds a student's version with the one compile line the page and
# the kept wrong versions use too (checker/flags.txt).
file(STRINGS ${SOURCE}/checker/flags.txt line REGEX "^c\\+\\+ ")
string(REGEX REPLACE "^c\\+\\+ " "" line "${line}")
file(STRINGS ${SOURCE}/README.md builds REGEX "^ *g\\+\\+ .*(my_|\\$folder)")
foreach(build IN LISTS builds)
  string(FIND "${build}" "g++ ${line} " at)
  if(at LESS 0)
    message(FATAL_ERROR "README.md builds a version otherwise than checker/flags.txt says (g++ ${line}):\n${build}")
  endif()
endforeach()

# The README's table of programs says what each does and shows as programs.json
# does, which the demo and the page show too.
file(READ ${SOURCE}/programs.json facts)
file(READ ${SOURCE}/README.md readme)
string(JSON count LENGTH "${facts}")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON name GET "${facts}" ${i} name)
  string(JSON does GET "${facts}" ${i} does)
  string(JSON shows GET "${facts}" ${i} shows)
  string(REGEX MATCH "\n\\| `${name}` \\| [^\n]*" row "${readme}")
  string(FIND "${row}" " | ${does} | ${shows} |" at)
  if(row STREQUAL "" OR at LESS 0)
    message(FATAL_ERROR "README.md's table, ${name}: expected what programs.json says, \"${does}\" and \"${shows}\":${row}")
  endif()
endforeach()
message(STATUS "README.md's table says what programs.json says")

# The docs state the limits as checker/limits.json sets them for the checker and
# the page.
file(READ ${SOURCE}/checker/limits.json limits)
string(JSON seconds GET "${limits}" "case seconds")
string(JSON output GET "${limits}" "case output bytes")
string(JSON run_output GET "${limits}" "run output bytes")
string(JSON compile GET "${limits}" "compile seconds")
math(EXPR output_mib "${output} / 1048576")
math(EXPR run_mib "${run_output} / 1048576")
foreach(doc IN ITEMS README.md INSTRUCTORS.md)
  file(READ ${SOURCE}/${doc} text)
  string(REGEX REPLACE "[ \n]+" " " text_${doc} "${text}")
endforeach()
foreach(said IN ITEMS "README.md:a run is stopped after ${seconds} seconds"
                      "README.md:Output past ${run_mib} MiB"
                      "README.md:a compile itself is stopped after ${compile} seconds"
                      "README.md:a program still running after ${seconds} seconds"
                      "INSTRUCTORS.md:`-D TIMEOUT`, ${seconds} s by default"
                      "INSTRUCTORS.md:${output_mib} MiB on each stream"
                      "INSTRUCTORS.md:wrote a file past the limit of ${output_mib} MiB")
  string(REGEX MATCH "^([^:]+):(.*)$" ignored "${said}")
  string(FIND "${text_${CMAKE_MATCH_1}}" "${CMAKE_MATCH_2}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${CMAKE_MATCH_1} does not say \"${CMAKE_MATCH_2}\", as checker/limits.json sets it")
  endif()
endforeach()
