# Checks a program against its cases: runs it on each one and compares what it
# writes, byte for byte, with what the case expects.
#
#   cmake -P tests/check.cmake PROGRAM EXECUTABLE [behaviour | own | refusal | all]
#
# PROGRAM names the folder tests/cases/PROGRAM; EXECUTABLE is the program to
# check, yours or this project's. By default only the behaviour cases run:
# valid input, which every correct version answers the same way. The others
# are this project's own answers, which a version of yours need not share:
# `own` runs the valid input whose answer is left to the implementer (towers
# with no disks), `refusal` the unusable input, and `all` runs every case. The options
# -D EMULATOR=<command> (a program that runs EXECUTABLE, such as Wine) and
# -D TIMEOUT=<seconds> go before -P, and so does -D CASES=<folder>, to take the
# cases from another folder than tests/cases.
#
# A case is a few files with the same name, side by side:
#   NAME.in    its standard input (no file: empty input)
#   NAME.args  its command-line arguments, one per line
#   NAME.out   the exact standard output expected; in it, {argv0} stands for
#              the name the program was started by, whatever that is
#   NAME.err   (refusal cases) the one line expected on standard error
# A behaviour or own case must exit with status 0 and write nothing on standard
# error; a refusal case must exit with status 1. Where Windows text-mode output
# writes CRLF line ends (on Windows, or for an .exe), they count as LF.
#
# Prints a line per case, pass or FAIL with the first difference, then the line
# "N passed, M failed". The exit status is 0 when every case passed.
cmake_minimum_required(VERSION 3.25)

# The script's own arguments come after `-P tests/check.cmake`.
set(first 0)
foreach(i RANGE ${CMAKE_ARGC})
  if(CMAKE_ARGV${i} STREQUAL "-P")
    math(EXPR first "${i} + 2")
    break()
  endif()
endforeach()
math(EXPR second "${first} + 1")
math(EXPR third "${first} + 2")
set(program "${CMAKE_ARGV${first}}")
set(executable "${CMAKE_ARGV${second}}")
set(kinds "${CMAKE_ARGV${third}}")
if(program STREQUAL "" OR executable STREQUAL "")
  message(FATAL_ERROR
    "usage: cmake -P tests/check.cmake PROGRAM EXECUTABLE [behaviour | own | refusal | all]")
endif()
if(kinds STREQUAL "")
  set(kinds behaviour)
elseif(kinds STREQUAL "all")
  set(kinds behaviour own refusal)
elseif(NOT kinds MATCHES "^(behaviour|own|refusal)$")
  message(FATAL_ERROR "the cases to run are behaviour, own, refusal or all, not '${kinds}'")
endif()
if(NOT DEFINED CASES)
  set(CASES "${CMAKE_CURRENT_LIST_DIR}/cases")
endif()
set(cases "${CASES}/${program}")
if(NOT IS_DIRECTORY "${cases}")
  message(FATAL_ERROR "no cases for '${program}' in ${cases}")
endif()
if(NOT IS_ABSOLUTE "${executable}")
  set(executable "${CMAKE_CURRENT_SOURCE_DIR}/${executable}")
endif()
if(NOT EXISTS "${executable}" AND EXISTS "${executable}.exe")
  set(executable "${executable}.exe")
elseif(NOT EXISTS "${executable}")
  message(FATAL_ERROR "no program at ${executable}")
endif()
if(NOT DEFINED TIMEOUT)
  set(TIMEOUT 10)
endif()
set(max_output 4194304) # 4 MiB: far more than any case expects

if(CMAKE_HOST_WIN32 OR executable MATCHES "\\.exe$")
  set(crlf_is_lf TRUE)
else()
  set(crlf_is_lf FALSE)
endif()

# Each run writes into a folder of its own under the system's temporary folder.
foreach(tmp "$ENV{TMPDIR}" "$ENV{TEMP}" "$ENV{TMP}" "/tmp")
  if(IS_DIRECTORY "${tmp}")
    break()
  endif()
endforeach()
string(RANDOM LENGTH 12 tag)
set(work "${tmp}/check-${program}-${tag}")
file(MAKE_DIRECTORY "${work}")
file(WRITE "${work}/empty" "")

# Prints text on standard output as it stands.
function(say text)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${text}")
endfunction()

# Output is handled as bytes: file(READ) alone would drop the CR of a CRLF and
# stop at a NUL. A text is kept as hexadecimal with a space before each byte,
# " 41 0a" for "A\n", so that each byte stays in step with the next.
function(read_bytes file out)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# Shows a line of output as text, with what cannot be seen made visible: a
# newline as \n (so a missing one shows), a carriage return as \r, a tab as
# \t, other control characters as \xHH; the quotes show spaces at either end.
function(visible bytes out)
  if(bytes STREQUAL "")
    set(${out} "(nothing: the output ends before this line)" PARENT_SCOPE)
    return()
  endif()
  set(text "")
  string(REGEX MATCHALL "[0-9a-f][0-9a-f]" hexes "${bytes}")
  foreach(hex IN LISTS hexes)
    math(EXPR code "0x${hex}")
    if(hex STREQUAL "0a")
      string(APPEND text "\\n")
    elseif(hex STREQUAL "0d")
      string(APPEND text "\\r")
    elseif(hex STREQUAL "09")
      string(APPEND text "\\t")
    elseif(hex STREQUAL "5c")
      string(APPEND text "\\\\")
    elseif(code LESS 32 OR code EQUAL 127)
      string(APPEND text "\\x${hex}")
    else()
      string(ASCII ${code} char)
      string(APPEND text "${char}")
    endif()
  endforeach()
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# The line (with its newline, if it has one) of `bytes` that holds byte `at`.
function(line_at bytes at out)
  math(EXPR at "${at} * 3")
  string(SUBSTRING "${bytes}" 0 ${at} before)
  string(FIND "${before}" " 0a" start REVERSE)
  if(start LESS 0)
    set(start 0)
  else()
    math(EXPR start "${start} + 3")
  endif()
  string(SUBSTRING "${bytes}" ${start} -1 rest)
  string(FIND "${rest}" " 0a" end)
  if(end GREATER_EQUAL 0)
    math(EXPR end "${end} + 3")
  endif()
  string(SUBSTRING "${rest}" 0 ${end} line)
  set(${out} "${line}" PARENT_SCOPE)
endfunction()

# Sets `out` to an account of the first line where `actual` differs from
# `expected` (both as read_bytes gives them), or to nothing when they are the same.
function(difference what expected actual out)
  set(${out} "" PARENT_SCOPE)
  if(actual STREQUAL expected)
    return()
  endif()
  # The longest common start, in bytes, by halving: the first difference is
  # the byte after it.
  string(LENGTH "${expected}" length_e)
  string(LENGTH "${actual}" length_a)
  set(low 0)
  math(EXPR high "${length_e} / 3")
  if(length_a LESS length_e)
    math(EXPR high "${length_a} / 3")
  endif()
  while(low LESS high)
    math(EXPR mid "(${low} + ${high} + 1) / 2")
    math(EXPR chars "${mid} * 3")
    string(SUBSTRING "${expected}" 0 ${chars} e)
    string(SUBSTRING "${actual}" 0 ${chars} a)
    if(e STREQUAL a)
      set(low ${mid})
    else()
      math(EXPR high "${mid} - 1")
    endif()
  endwhile()
  math(EXPR chars "${low} * 3")
  string(SUBSTRING "${expected}" 0 ${chars} same)
  string(REGEX MATCHALL " 0a" newlines "${same}")
  list(LENGTH newlines line)
  math(EXPR line "${line} + 1")
  line_at("${expected}" ${low} e)
  line_at("${actual}" ${low} a)
  visible("${e}" e)
  visible("${a}" a)
  set(${out} "${what} differs at line ${line}:\n      expected ${e}\n      actual   ${a}"
      PARENT_SCOPE)
endfunction()

# Reads a file the program wrote, as read_bytes does, with CRLF as LF where that
# is how text-mode output ends a line. Sets `problem` when it is too large to read.
function(read_output file out problem)
  set(${problem} "" PARENT_SCOPE)
  file(SIZE "${file}" size)
  if(size GREATER max_output)
    set(${problem} "wrote more than ${max_output} bytes" PARENT_SCOPE)
    return()
  endif()
  read_bytes("${file}" bytes)
  if(crlf_is_lf)
    string(REPLACE " 0d 0a" " 0a" bytes "${bytes}")
  endif()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# Runs one case; sets `out` to nothing when it passes, else to why it fails.
function(check_case dir name kind out)
  set(input "${work}/empty")
  if(EXISTS "${dir}/${name}.in")
    set(input "${dir}/${name}.in")
  endif()

  # The command is put together as code, one bracket argument per word, so
  # that an empty argument or one with spaces or semicolons stays as it is.
  set(code "execute_process(COMMAND")
  foreach(word IN LISTS EMULATOR)
    string(APPEND code " [==[${word}]==]")
  endforeach()
  string(APPEND code " [==[${executable}]==]")
  if(EXISTS "${dir}/${name}.args")
    file(READ "${dir}/${name}.args" args)
    while(NOT args STREQUAL "")
      string(FIND "${args}" "\n" end)
      if(end LESS 0)
        string(LENGTH "${args}" end)
      endif()
      string(SUBSTRING "${args}" 0 ${end} word)
      string(APPEND code " [==[${word}]==]")
      math(EXPR end "${end} + 1")
      string(SUBSTRING "${args}" ${end} -1 args)
    endwhile()
  endif()
  string(APPEND code " INPUT_FILE [==[${input}]==]"
         " OUTPUT_FILE [==[${work}/stdout]==] ERROR_FILE [==[${work}/stderr]==]"
         " TIMEOUT ${TIMEOUT} RESULT_VARIABLE status)")
  cmake_language(EVAL CODE "${code}")

  if(status MATCHES "timeout")
    set(${out} "did not finish within ${TIMEOUT} seconds" PARENT_SCOPE)
    return()
  elseif(NOT status MATCHES "^[0-9]+$")
    set(${out} "ended abnormally: ${status}" PARENT_SCOPE)
    return()
  endif()
  read_output("${work}/stdout" stdout problem)
  if(problem STREQUAL "")
    read_output("${work}/stderr" stderr problem)
  endif()
  if(NOT problem STREQUAL "")
    set(${out} "${problem}" PARENT_SCOPE)
    return()
  endif()

  read_bytes("${dir}/${name}.out" expected)
  set(argv0 " 7b 61 72 67 76 30 7d") # {argv0}
  string(FIND "${expected}" "${argv0}" at)
  if(at GREATER_EQUAL 0)
    # The text from there to the end of the line is the program's own name.
    string(SUBSTRING "${expected}" 0 ${at} before)
    string(SUBSTRING "${stdout}" 0 ${at} start)
    if(start STREQUAL before)
      string(SUBSTRING "${stdout}" ${at} -1 rest)
      string(FIND "${rest}" " 0a" end)
      if(end LESS 0)
        set(rest "")
      else()
        string(SUBSTRING "${rest}" ${end} -1 rest)
      endif()
      set(stdout "${before}${argv0}${rest}")
    endif()
  endif()
  difference("standard output" "${expected}" "${stdout}" problem)

  if(NOT kind STREQUAL "refusal")
    set(expected_err "")
    set(expected_status 0)
  else()
    read_bytes("${dir}/${name}.err" expected_err)
    set(expected_status 1)
  endif()
  if(problem STREQUAL "")
    difference("standard error" "${expected_err}" "${stderr}" problem)
  endif()
  if(problem STREQUAL "" AND NOT status EQUAL expected_status)
    set(problem "exit status ${status}, expected ${expected_status}")
  endif()
  set(${out} "${problem}" PARENT_SCOPE)
endfunction()

set(passed 0)
set(failed 0)
foreach(kind IN LISTS kinds)
  file(GLOB outs RELATIVE "${cases}/${kind}" "${cases}/${kind}/*.out")
  list(SORT outs)
  foreach(out IN LISTS outs)
    string(REGEX REPLACE "\\.out$" "" name "${out}")
    check_case("${cases}/${kind}" "${name}" ${kind} problem)
    if(problem STREQUAL "")
      math(EXPR passed "${passed} + 1")
      say("pass ${program}/${kind}/${name}")
    else()
      math(EXPR failed "${failed} + 1")
      say("FAIL ${program}/${kind}/${name}: ${problem}")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE "${work}")

say("${passed} passed, ${failed} failed")
math(EXPR total "${passed} + ${failed}")
if(total EQUAL 0)
  message(FATAL_ERROR "no ${kinds} cases in ${cases}")
elseif(failed GREATER 0)
  if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.29)
    cmake_language(EXIT 1)
  endif()
  # Before 3.29, CMake has no quiet way to end a script with a failure status.
  message(FATAL_ERROR "${failed} of ${total} cases failed")
endif()
