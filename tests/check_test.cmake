# The checker's own test: it must fail a program that is not the one checked,
# and show a missing final newline. Run by CTest with -D SORT_TEN=<executable>
# -D SERIES40=<executable> -D WORK=<folder> and, where needed, -D EMULATOR=...
cmake_minimum_required(VERSION 3.25)
set(check ${CMAKE_CURRENT_LIST_DIR}/check.cmake)

# Runs check.cmake with the given arguments; it must fail and print `pattern`.
function(expect_failure pattern)
  execute_process(COMMAND ${CMAKE_COMMAND} "-DEMULATOR=${EMULATOR}" ${ARGN}
                  OUTPUT_VARIABLE out ERROR_QUIET RESULT_VARIABLE status)
  if(status EQUAL 0 OR NOT out MATCHES "${pattern}")
    message(FATAL_ERROR "check.cmake ${ARGN}: expected a failure showing\n${pattern}\n"
                        "got status ${status} and\n${out}")
  endif()
endfunction()

expect_failure("FAIL towers/behaviour/one-disk: standard output differs at line 1:\n"
               "      expected \"\\\\n\"\n      actual   \"Enter th array \\\\n\"\n.*"
               "\n0 passed, 4 failed\n$"
               -P ${check} towers ${SORT_TEN})

# A case that wants a newline after the forty numbers, which series40 does not write.
file(READ ${CMAKE_CURRENT_LIST_DIR}/cases/series40/behaviour/forty-numbers.out numbers)
file(WRITE ${WORK}/series40/behaviour/final-newline.out "${numbers}\n")
expect_failure("expected \"1 1 2 [0-9 ]* 102334155 \\\\n\"\n      actual   \"1 1 2 [0-9 ]* 102334155 \"\n"
               -D CASES=${WORK} -P ${check} series40 ${SERIES40})
