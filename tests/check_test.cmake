# The checker's own test: every report example, then what it says of a wrong
# program, a missing final newline, a program that hangs, one that crashes and
# a missing program, and its JUnit report. Run by CTest with
# -D SORT_TEN=<executable> -D SERIES40=<executable> -D WORK=<folder> and,
# where the programs need one, -D EMULATOR=...
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/report.cmake)
set(check ${CMAKE_CURRENT_LIST_DIR}/check.cmake)
set(cases ${CMAKE_CURRENT_LIST_DIR}/cases)
file(REMOVE_RECURSE ${WORK})

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
file(READ ${CMAKE_CURRENT_LIST_DIR}/report-examples.json examples)
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
  judge("${expected_out}" "${expected_err}" "${expected_status}" "${actual_out}" "${actual_err}"
        "${actual_status}" report)
  string(JSON lines GET "${examples}" examples ${i} report)
  string(JSON lines_count LENGTH "${lines}")
  set(want "")
  if(lines_count GREATER 0)
    math(EXPR last_line "${lines_count} - 1")
    foreach(j RANGE ${last_line})
      string(JSON line GET "${lines}" ${j})
      list(APPEND want "${line}")
    endforeach()
  endif()
  list(JOIN want "\n" want)
  if(NOT report STREQUAL want)
    string(JSON name GET "${examples}" examples ${i} name)
    message(FATAL_ERROR "report example '${name}': expected\n${want}\ngot\n${report}")
  endif()
endforeach()

# A wrong program: the first differing line and column, the input, the command
# that runs the case by hand, and the verdict.
set(run "${SORT_TEN}")
if(EMULATOR)
  list(JOIN EMULATOR " " run)
  string(APPEND run " ${SORT_TEN}")
endif()
expect_failure("FAIL towers/behaviour/one-disk: exit status 1, expected 0
    standard output differs at line 1, column 1:
    expected \"\\n\"
    actual   \"Enter th array \\n\"
              ^
    stderr   \"sort_ten: expected 10 integers, read 1\\n\"
    input    ${cases}/towers/behaviour/one-disk.in
    run      ${run} < ${cases}/towers/behaviour/one-disk.in
" "${EMULATOR}" -P ${check} towers ${SORT_TEN})
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
find_program(XMLLINT xmllint)
if(XMLLINT)
  execute_process(COMMAND ${XMLLINT} --noout ${WORK}/junit.xml ${WORK}/hang.xml RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "xmllint cannot read the JUnit reports")
  endif()
endif()

# A missing program is refused before any case runs.
expect_failure("check: there is no file ${WORK}/none: build your program first, or check the path"
               "" -P ${check} towers ${WORK}/none)

file(REMOVE_RECURSE ${WORK})
