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

# Where xmllint is found, the JUnit report `file` (of `what`) must be well-formed XML.
function(expect_xml file what)
  if(XMLLINT)
    execute_process(COMMAND ${XMLLINT} --noout "${file}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "the JUnit report of ${what} is missing or not XML")
    endif()
  endif()
endfunction()

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

# The rules: each report example's bytes give exactly its report lines, and
# each check example's cases exactly the lines the check prints.
file(READ ${CMAKE_CURRENT_LIST_DIR}/../checker/rules.json rules)
# The member `key` of `json`, or `default` where it has none.
function(json_or json key default out)
  string(JSON value ERROR_VARIABLE missing GET "${json}" ${key})
  if(missing)
    set(value "${default}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
# Reads a run from `json`, an object with out or out_hex, err or err_hex and status.
function(run_of json out err status)
  foreach(stream out err)
    string(JSON text ERROR_VARIABLE missing GET "${json}" ${stream})
    text_bytes("${text}" bytes)
    if(missing)
      string(JSON hex ERROR_VARIABLE missing GET "${json}" ${stream}_hex)
      string(REGEX REPLACE "([0-9a-f][0-9a-f]) ?" " \\1" bytes "${hex}")
      if(missing)
        set(bytes "")
      endif()
    endif()
    set(${${stream}} "${bytes}" PARENT_SCOPE)
  endforeach()
  json_or("${json}" status 0 value)
  set(${status} "${value}" PARENT_SCOPE)
endfunction()
# The report of the example `json` (expected, actual, limit), with `name` for {argv0}.
function(report_of json argv0 out)
  string(JSON side GET "${json}" expected)
  run_of("${side}" e_out e_err e_status)
  string(JSON side GET "${json}" actual)
  run_of("${side}" a_out a_err a_status)
  json_or("${json}" limit "" limit)
  with_argv0("${e_out}" "${argv0}" e_out)
  judge("${e_out}" "${e_err}" "${e_status}" "${a_out}" "${a_err}" "${a_status}" "${limit}" report)
  set(${out} "${report}" PARENT_SCOPE)
endfunction()
# Compares `got` with the JSON array of lines `lines` of the example `json`.
function(expect_lines json lines got)
  string(JSON count LENGTH "${json}" ${lines})
  set(want "")
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(j RANGE ${last})
      string(JSON line GET "${json}" ${lines} ${j})
      list(APPEND want "${line}")
    endforeach()
  endif()
  list(JOIN want "\n" want)
  if(NOT got STREQUAL want)
    string(JSON name GET "${json}" name)
    message(FATAL_ERROR "example '${name}': expected\n${want}\ngot\n${got}")
  endif()
endfunction()
foreach(group examples checks)
  string(JSON count LENGTH "${rules}" ${group})
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON example GET "${rules}" ${group} ${i})
    if(group STREQUAL "examples")
      report_of("${example}" "" report)
      expect_lines("${example}" report "${report}")
      continue()
    endif()
    json_or("${example}" timeout 10 timeout)
    json_or("${example}" left 0 left)
    json_or("${example}" argv0 "" argv0)
    string(JSON last_case LENGTH "${example}" cases)
    math(EXPR last_case "${last_case} - 1")
    check_start(tally)
    set(printed "")
    foreach(j RANGE ${last_case})
      string(JSON c GET "${example}" cases ${j})
      string(JSON label GET "${c}" label)
      json_or("${c}" how "" how)
      json_or("${c}" hung OFF hung)
      set(report "")
      if(NOT hung)
        report_of("${c}" "${argv0}" report)
      endif()
      if(hung OR NOT report STREQUAL "")
        string(APPEND report "${how}")
      endif()
      check_next(tally "${label}" "${report}" ${hung} ${timeout} line)
      list(APPEND printed "${line}")
    endforeach()
    check_end(tally ${left} line)
    list(APPEND printed "${line}")
    list(JOIN printed "\n" printed)
    expect_lines("${example}" lines "${printed}")
  endforeach()
endforeach()

# A wrong program: each case fails, with the command that runs it by hand; how
# the report reads is the examples' part.
set(run "${SORT_TEN}")
if(EMULATOR)
  list(JOIN EMULATOR " " run)
  string(APPEND run " ${SORT_TEN}")
endif()
expect_failure("\n    run      ${run} < " "${EMULATOR}" -P ${check} towers ${SORT_TEN})
file(GLOB towers_cases ${cases}/towers/behaviour/*.out ${cases}/towers/generated/*.out)
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
expect_xml(${WORK}/junit.xml "a program that writes any bytes")
expect_xml(${WORK}/hang.xml "a program that hangs")

# Paths that must neither break the check nor run anything: each holds a copy
# of sort_ten, which passes, and of its cases; the JUnit report stays well formed.
if(NOT CMAKE_HOST_WIN32 AND NOT EMULATOR)
  string(ASCII 233 latin1)
  foreach(name "a]==]b" "x;y" "p[q" "c[l]ass *?" "b\\s" "d$HOME" "sp ace" "q'uo\"te" "lat${latin1}in"
               "x]==] message(FATAL_ERROR ran) #" "n\\")
    set(folder "${WORK}/paths/${name}")
    # (CMake's own file commands would take a backslash for a slash.)
    execute_process(COMMAND /bin/sh -c "mkdir -p \"$1/cases\" && cp \"$2\" \"$1/sort_ten\" && cp -R \"$3\" \"$1/cases\""
                            sh "${folder}" "${SORT_TEN}" "${cases}/sort_ten")
    execute_process(COMMAND ${CMAKE_COMMAND} "-DJUNIT=${WORK}/paths.xml" "-DCASES=${folder}/cases"
                            -P ${check} sort_ten "${folder}/sort_ten" behaviour
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT out MATCHES "\n[0-9]+ passed, 0 failed\n$")
      message(FATAL_ERROR "a version in '${name}' does not pass:\n${out}${err}")
    endif()
    expect_xml(${WORK}/paths.xml "a version in '${name}'")
  endforeach()
  execute_process(COMMAND rm -rf "${WORK}/paths")
  # A usage error still writes the report.
  expect_failure("usage:" "" "-DJUNIT=${WORK}/usage.xml" -P ${check} towers)
  expect_xml(${WORK}/usage.xml "a usage error")
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
