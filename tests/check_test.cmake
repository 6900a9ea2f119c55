# The checker's own test: every report and check example, then what it says of a wrong
# program, a missing final newline, a program that hangs, one that crashes and
# a missing program, and its JUnit report. Run by CTest with
# -D SORT_TEN=<executable> -D SERIES40=<executable> -D WORK=<folder> and,
# where the programs need one, -D EMULATOR=...
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../checker/report.cmake)
get_filename_component(check ${CMAKE_CURRENT_LIST_DIR}/../checker/check.cmake ABSOLUTE)
get_filename_component(cases ${CMAKE_CURRENT_LIST_DIR}/../checker/cases ABSOLUTE)
file(REMOVE_RECURSE ${WORK})
find_program(XMLLINT xmllint)

# Runs check.cmake with the given arguments and emulator (a list, so passed
# apart from them); it must fail, and what it prints must hold `text` as it
# stands.
function(expect_failure text emulator)
  execute_process(COMMAND ${CMAKE_COMMAND} "-DEMULATOR=${emulator}" ${ARGN}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err
                  RESULT_VARIABLE status)
  string(FIND "${out}${err}" "${text}" at)
  if(status EQUAL 0 OR at LESS 0)
    message(FATAL_ERROR "check.cmake ${ARGN}: expected a failure showing\n${text}\n"
                        "got status ${status} and\n${out}${err}")
  endif()
endfunction()

# The report's rules: each example's bytes give exactly its report lines.
file(READ ${CMAKE_CURRENT_LIST_DIR}/../checker/rules.json examples)
function(example_bytes i side stream out) # text, or bytes in hexadecimal
  string(JSON text ERROR_VARIABLE missing GET "${examples}" examples ${i} ${side} ${stream})
  text_bytes("${text}" bytes)
  if(missing)
    string(JSON hex ERROR_VARIABLE missing GET "${examples}" examples ${i} ${side} ${stream}_hex)
    string(REGEX REPLACE "([0-9a-f][0-9a-f]) ?" " \\1" bytes "${hex}")
    if(missing)
      set(bytes "")
    endif()
  endif()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()
function(expected_lines json out) # a JSON array of lines, as one text
  string(JSON count LENGTH "${json}")
  set(want "")
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(j RANGE ${last})
      string(JSON line GET "${json}" ${j})
      list(APPEND want "${line}")
    endforeach()
  endif()
  list(JOIN want "\n" want)
  set(${out} "${want}" PARENT_SCOPE)
endfunction()
string(JSON count LENGTH "${examples}" examples)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  foreach(side expected actual)
    example_bytes(${i} ${side} out ${side}_out)
    example_bytes(${i} ${side} err ${side}_err)
    string(JSON ${side}_status ERROR_VARIABLE missing GET "${examples}" examples ${i} ${side} status)
    if(missing)
      set(${side}_status 0)
    endif()
  endforeach()
  string(JSON limit ERROR_VARIABLE missing GET "${examples}" examples ${i} limit)
  if(missing)
    set(limit "")
  endif()
  judge("${expected_out}" "${expected_err}" "${expected_status}" "${actual_out}" "${actual_err}"
        "${actual_status}" "${limit}" report)
  string(JSON lines GET "${examples}" examples ${i} report)
  expected_lines("${lines}" want)
  if(NOT report STREQUAL want)
    string(JSON name GET "${examples}" examples ${i} name)
    message(FATAL_ERROR "report example '${name}': expected\n${want}\ngot\n${report}")
  endif()
endforeach()

# How a check of many cases is printed: each example's cases give exactly its lines.
string(JSON count LENGTH "${examples}" checks)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON check_json GET "${examples}" checks ${i})
  foreach(field timeout:10 left:0 argv0:)
    string(REGEX MATCH "^[^:]+" name "${field}")
    string(JSON ${name} ERROR_VARIABLE missing GET "${check_json}" ${name})
    if(missing)
      string(REGEX REPLACE "^[^:]+:" "" ${name} "${field}")
    endif()
  endforeach()
  string(JSON cases_json GET "${check_json}" cases)
  string(JSON case_count LENGTH "${cases_json}")
  math(EXPR last_case "${case_count} - 1")
  check_start(tally)
  set(printed "")
  foreach(j RANGE ${last_case})
    string(JSON c GET "${cases_json}" ${j})
    string(JSON label GET "${c}" label)
    string(JSON how ERROR_VARIABLE missing GET "${c}" how)
    if(missing)
      set(how "")
    endif()
    string(JSON hung ERROR_VARIABLE missing GET "${c}" hung)
    if(missing)
      set(hung OFF)
      set(sides "{\"examples\": [${c}]}")
      set(saved "${examples}")
      set(examples "${sides}")
      foreach(side expected actual)
        example_bytes(0 ${side} out ${side}_out)
        example_bytes(0 ${side} err ${side}_err)
        string(JSON ${side}_status ERROR_VARIABLE missing GET "${c}" ${side} status)
        if(missing)
          set(${side}_status 0)
        endif()
      endforeach()
      set(examples "${saved}")
      with_argv0("${expected_out}" "${argv0}" expected_out)
      judge("${expected_out}" "${expected_err}" "${expected_status}" "${actual_out}" "${actual_err}"
            "${actual_status}" "" report)
      if(NOT report STREQUAL "")
        string(APPEND report "${how}")
      endif()
    else()
      set(report "${how}")
    endif()
    check_next(tally "${label}" "${report}" ${hung} ${timeout} "${how}" line)
    list(APPEND printed "${line}")
    if(hung)
      break()
    endif()
  endforeach()
  check_end(tally ${left} line passed failed skipped)
  list(APPEND printed "${line}")
  list(JOIN printed "\n" printed)
  string(JSON lines GET "${check_json}" lines)
  expected_lines("${lines}" want)
  if(NOT printed STREQUAL want)
    string(JSON name GET "${check_json}" name)
    message(FATAL_ERROR "check example '${name}': expected\n${want}\ngot\n${printed}")
  endif()
endforeach()

# A wrong program: each case fails, with the command that runs it by hand; how
# the report reads is the examples' part.
set(run "${SORT_TEN}")
if(EMULATOR)
  list(JOIN EMULATOR " " run)
  string(APPEND run " ${SORT_TEN}")
endif()
expect_failure("\n    run      ${run} < " "${EMULATOR}" -P ${check} towers ${SORT_TEN})
file(GLOB towers_cases ${cases}/towers/behaviour/*.out)
list(LENGTH towers_cases count)
expect_failure("\n0 passed, ${count} failed\n" "${EMULATOR}" -P ${check} towers ${SORT_TEN})
# After three failures in full, the same failure again takes one line.
expect_failure("\nFAIL towers/behaviour/random-1: exit status 1, expected 0, as in towers/behaviour/every-kind-of-white-space\n"
               "${EMULATOR}" -P ${check} towers ${SORT_TEN})

# A case that wants a newline after the forty numbers, which series40 does not
# write: the mark stands under the end of the shorter line, shown from 30
# bytes before it.
file(READ ${cases}/series40/behaviour/forty-numbers.out numbers)
file(WRITE ${WORK}/series40/behaviour/final-newline.out "${numbers}\n")
string(LENGTH "${numbers}" column)
math(EXPR from "${column} - 30")
string(SUBSTRING "${numbers}" ${from} -1 shown)
math(EXPR column "${column} + 1")
string(REPEAT " " 47 pad) # the quote's column, 14, then ... and the 30 bytes
expect_failure("FAIL series40/behaviour/final-newline: standard output differs at line 1, column ${column}:
    expected ...\"${shown}\\n\"
    actual   ...\"${shown}\"
${pad}^
" "${EMULATOR}" -D CASES=${WORK} -P ${check} series40 ${SERIES40})

# The programs below run on this machine itself, with no emulator.
# A program that hangs on its first case: the rest are skipped.
file(WRITE ${WORK}/hang/behaviour/first.args "-E\nsleep\n30\n")
file(WRITE ${WORK}/hang/behaviour/first.out "")
file(WRITE ${WORK}/hang/behaviour/second.out "")
file(WRITE ${WORK}/hang/behaviour/third.out "")
string(TIMESTAMP start "%s")
expect_failure("FAIL hang/behaviour/first: did not finish within 1 seconds\n" "" -D TIMEOUT=1
               -D CASES=${WORK} -P ${check} hang ${CMAKE_COMMAND})
expect_failure("SKIP the other 2 cases: hang/behaviour/first did not finish, and would not on them either
0 passed, 1 failed, 2 skipped
" "" -D TIMEOUT=1 -D CASES=${WORK} -P ${check} hang ${CMAKE_COMMAND})
string(TIMESTAMP end "%s")
math(EXPR took "${end} - ${start}")
if(took GREATER 5)
  message(FATAL_ERROR "two checks of a hanging program took ${took} s, not about 2")
endif()

# A program that crashes: what it wrote on standard error is shown.
if(NOT CMAKE_HOST_WIN32)
  file(WRITE ${WORK}/crash/behaviour/first.args "-c\necho lost its way >&2; kill -SEGV $$\n")
  file(WRITE ${WORK}/crash/behaviour/first.out "")
  expect_failure("FAIL crash/behaviour/first: ended abnormally: Segmentation fault
    stderr   \"lost its way\\n\"
    input    /dev/null
    run      /bin/sh -c 'echo lost its way >&2; kill -SEGV $$' < /dev/null
" "" -D CASES=${WORK} -P ${check} crash /bin/sh)
endif()

# The JUnit report: a testcase per case, with its failure or its skip, well
# formed whatever bytes the program wrote.
string(ASCII 1 255 60 38 10 bytes) # \x01 \xff < & and a newline
file(WRITE ${WORK}/bytes.bin "${bytes}")
file(WRITE ${WORK}/junit/behaviour/bytes.args "-E\ncat\n${WORK}/bytes.bin\n")
file(WRITE ${WORK}/junit/behaviour/bytes.out "ok\n")
file(WRITE ${WORK}/junit/behaviour/same.args "-E\necho\nok\n")
file(WRITE ${WORK}/junit/behaviour/same.out "ok\n")
expect_failure("1 passed, 1 failed" "" -D JUNIT=${WORK}/junit.xml -D CASES=${WORK} -P ${check} junit
               ${CMAKE_COMMAND})
expect_failure("0 passed, 1 failed, 2 skipped" "" -D JUNIT=${WORK}/hang.xml -D TIMEOUT=1
               -D CASES=${WORK} -P ${check} hang ${CMAKE_COMMAND})
file(READ ${WORK}/junit.xml junit)
file(READ ${WORK}/hang.xml hang)
foreach(want "${junit}|testsuites tests=\"2\" failures=\"1\" errors=\"0\" skipped=\"0\""
             "${junit}|classname=\"junit.behaviour\" name=\"same\""
             "${junit}|actual   &quot;\\x01\\xff&lt;&amp;\\n&quot;"
             "${hang}|testsuites tests=\"3\" failures=\"1\" errors=\"0\" skipped=\"2\""
             "${hang}|<skipped message=\"not run: hang/behaviour/first did not finish\"/>")
  string(REGEX REPLACE "\\|.*" "" file_text "${want}")
  string(REGEX REPLACE "^[^|]*\\|" "" text "${want}")
  string(FIND "${file_text}" "${text}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the JUnit report lacks ${text}:\n${file_text}")
  endif()
endforeach()
if(XMLLINT)
  execute_process(COMMAND ${XMLLINT} --noout ${WORK}/junit.xml ${WORK}/hang.xml RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "xmllint cannot read the JUnit reports")
  endif()
endif()

# Paths that must neither break the check nor run anything: each holds a copy
# of sort_ten, which passes; the JUnit report stays well formed.
if(NOT CMAKE_HOST_WIN32 AND NOT EMULATOR)
  string(ASCII 233 latin1)
  foreach(name "a]==]b" "x;y" "p[q" "b\\s" "d$HOME" "sp ace" "q'uo\"te" "lat${latin1}in"
               "x]==] message(FATAL_ERROR ran) #" "n\\")
    set(folder "${WORK}/paths/${name}")
    # (CMake's own file commands would take a backslash for a slash.)
    execute_process(COMMAND /bin/sh -c "mkdir -p \"$1\" && cp \"$2\" \"$1/sort_ten\"" sh "${folder}" "${SORT_TEN}")
    execute_process(COMMAND ${CMAKE_COMMAND} "-DJUNIT=${WORK}/paths.xml" -P ${check} sort_ten "${folder}/sort_ten"
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT out MATCHES "\n[0-9]+ passed, 0 failed\n$")
      message(FATAL_ERROR "a version in '${name}' does not pass:\n${out}${err}")
    endif()
    if(XMLLINT)
      execute_process(COMMAND ${XMLLINT} --noout ${WORK}/paths.xml RESULT_VARIABLE status)
      if(NOT status EQUAL 0)
        message(FATAL_ERROR "the JUnit report of a version in '${name}' is not XML")
      endif()
    endif()
  endforeach()
  execute_process(COMMAND rm -rf "${WORK}/paths")
  # A usage error still writes the report.
  expect_failure("usage:" "" "-DJUNIT=${WORK}/usage.xml" -P ${check} towers)
  if(XMLLINT)
    execute_process(COMMAND ${XMLLINT} --noout ${WORK}/usage.xml RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "the JUnit report of a usage error is missing or not XML")
    endif()
  endif()
endif()

# What a program can reach (Linux): its input's name leads nowhere, the files
# it writes stay in its own folder, and what it leaves running is stopped.
if(EXISTS /proc/self/fd/0 AND NOT EMULATOR)
  file(WRITE ${WORK}/reach/behaviour/input.in "3\n")
  file(WRITE ${WORK}/reach/behaviour/input.out "expected\n")
  file(WRITE ${WORK}/reach/behaviour/input.args "-c\nf=$(readlink /proc/self/fd/0); cat \"\${f%.in}.out\"\n")
  file(WRITE ${WORK}/reach/behaviour/writes.out "")
  file(WRITE ${WORK}/reach/behaviour/writes.args "-c\necho > left-behind\n")
  file(WRITE ${WORK}/reach/behaviour/lingers.out "")
  file(WRITE ${WORK}/reach/behaviour/lingers.args "-c\n(sleep 2; echo > ${WORK}/alive) >/dev/null 2>&1 &\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -D CASES=${WORK} -P ${check} reach /bin/sh
                  WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT out MATCHES "FAIL reach/behaviour/input" OR NOT out MATCHES "pass reach/behaviour/writes")
    message(FATAL_ERROR "a version that follows its input's name to the expected output passes:\n${out}${err}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 3)
  if(EXISTS ${WORK}/left-behind OR EXISTS ${WORK}/alive)
    message(FATAL_ERROR "a version left a file behind, or a process running after its case")
  endif()
endif()

# A missing program is refused before any case runs.
expect_failure("check: there is no file ${WORK}/none: build your program first, or check the path"
               "" -P ${check} towers ${WORK}/none)

file(REMOVE_RECURSE ${WORK})
