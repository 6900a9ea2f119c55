# Runs every program on a sample input and shows what it was given and what it
# wrote. Called by the `demo` target with BIN_DIR (the executables) and WORK_DIR.

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
    say("--- command line: ${program} '${quoted}'")
  else()
    say("--- no input")
  endif()
  file(WRITE ${WORK_DIR}/${program}.in "${arg_INPUT}")
  execute_process(COMMAND ${BIN_DIR}/${program} ${arg_ARGS}
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
