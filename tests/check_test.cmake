# The checker's own test: what it says of a wrong program, a missing final
# newline, a program that hangs, one that crashes and a missing program. Run by
# CTest with -D SORT_TEN=<executable> -D SERIES40=<executable> -D WORK=<folder>
# and, where the programs need one, -D EMULATOR=...
cmake_minimum_required(VERSION 3.25)
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

# A case that wants a newline after the forty numbers, which series40 does not
# write: the mark stands under the end of the shorter line.
file(READ ${cases}/series40/behaviour/forty-numbers.out numbers)
file(WRITE ${WORK}/series40/behaviour/final-newline.out "${numbers}\n")
string(LENGTH "${numbers}" column)
math(EXPR column "${column} + 1")
string(REPEAT " " ${column} pad)
expect_failure("FAIL series40/behaviour/final-newline: standard output differs at line 1, column ${column}:
    expected \"${numbers}\\n\"
    actual   \"${numbers}\"
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
    input    /dev/null
    run      /bin/sh -c 'echo lost its way >&2; kill -SEGV $$' < /dev/null
    stderr   \"lost its way\\n\"
" "" -D CASES=${WORK} -P ${check} crash /bin/sh)
endif()

# A missing program is refused before any case runs.
expect_failure("check: there is no file ${WORK}/none: build your program first, or check the path"
               "" -P ${check} towers ${WORK}/none)

file(REMOVE_RECURSE ${WORK})
