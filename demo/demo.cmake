# Runs every program on a sample input and shows what it was given and what it
# wrote. Called by the `demo` target with BIN_DIR (the executables), SUFFIX
# (their file name's ending: .exe on Windows), EMULATOR (what runs them, when
# they are built for another system) and WORK_DIR.
cmake_policy(VERSION 3.25)

function(say text)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${text}")
endfunction()

# show(<program> <what it does> [INPUT <text>] [ARGS <arguments>...])
function(show program about)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "INPUT" "ARGS")
  say("")
  say("=== ${program}: ${about} ===")
  if(DEFINED arg_INPUT)
    say("--- input")
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo_append "${arg_INPUT}")
  elseif(DEFINED arg_ARGS)
    list(JOIN arg_ARGS "' '" quoted)
    say("--- command line: ./${program} '${quoted}'")
  else()
    say("--- no input")
  endif()
  file(WRITE ${WORK_DIR}/${program}.in "${arg_INPUT}")
  execute_process(COMMAND ${EMULATOR} ./${program}${SUFFIX} ${arg_ARGS}
                  WORKING_DIRECTORY ${BIN_DIR}
                  INPUT_FILE ${WORK_DIR}/${program}.in
                  OUTPUT_VARIABLE out RESULT_VARIABLE status)
  say("--- output")
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo_append "${out}")
  if(NOT out MATCHES "\n$")
    say("")
    say("(no newline at the end of the output)")
  endif()
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${program} exited with status ${status}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${WORK_DIR})
show(quadroots "classifies a*x^2 + b*x + c = 0 and prints its roots" INPUT "1 2 5\n")
show(culprit_bits "six suspects, six clues: who took part? (bit-fields over a byte)")
show(culprit_flags "the same puzzle, flags taken out by shift and mask")
show(sort "ranks student records by score, highest first"
     INPUT "3\nAnn 001 90\nBob 002 85.5\nCid 003 95\n")
show(towers "lists the moves of the Towers of Hanoi" INPUT "3\n")
show(sort_ten "sorts ten integers" INPUT "5 3 9 1 7 2 8 4 6 0\n")
show(series40 "the first forty Fibonacci numbers")
show(Score "maps a letter grade to its score band" INPUT "B\n")
show(Test "lists its own command line" ARGS "first" "with space")
show(powers "a number times 3, and raised to a power" INPUT "2 5\n")
show(strip_char "deletes a character from a string" INPUT "hello world\no\n")
