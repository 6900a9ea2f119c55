# Checks a program against its cases: runs it on each one and compares what it
# writes, byte for byte, with what the case expects.
#
#   cmake -P tests/check.cmake PROGRAM EXECUTABLE [behaviour | own | refusal | all]
#
# PROGRAM names the folder tests/cases/PROGRAM; EXECUTABLE is the program to
# check, yours or this project's. By default only the behaviour cases run:
# valid input, which every version that does what the program must do answers
# the same way. The others are this project's own answers, which a version of
# yours need not share: `own` runs the valid input whose answer is a choice
# left to whoever writes the program (towers with no disks, a negative power),
# `refusal` the unusable input, and `all` runs every case. The options
# -D EMULATOR=<command> (a program that runs EXECUTABLE, such as Wine),
# -D TIMEOUT=<seconds> (10 by default), -D CASES=<folder> (the cases, when
# not tests/cases) and -D JUNIT=<file> (a JUnit XML report as well, for an
# autograder or a CI test reporter) go before -P.
#
# A case is a few files with the same name, side by side:
#   NAME.in    its standard input (no file: empty input)
#   NAME.args  its command-line arguments, one per line
#   NAME.out   the exact standard output expected; in it, {argv0} stands for
#              the name the program was started by (the path given here)
#   NAME.err   (refusal cases) the one line expected on standard error
# A behaviour or own case must exit with status 0 and write nothing on standard
# error; a refusal case must exit with status 1. Where Windows text-mode output
# writes CRLF line ends (on Windows, or for an .exe), they count as LF.
#
# Prints a line per case, pass or FAIL with the first difference, then the line
# "N passed, M failed". The exit status is 0 when every case passed. After the
# first three failures, one that differs from the expected output just as an
# earlier one did takes one line. After a case that does not finish in time
# the rest are skipped: a version that hangs would hang on each of them. How
# a difference is shown is in report.cmake, beside this file.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/report.cmake)

# Ends the check: removes the work folder, if there is one yet, and hands
# `text`, why, to the verdict at the end of this file.
macro(stop work text)
  if(NOT "${work}" STREQUAL "")
    file(REMOVE_RECURSE "${work}")
  endif()
  set(reason "${text}" PARENT_SCOPE)
  return()
endmacro()

# Prints text on standard output as it stands.
function(say text)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${text}")
endfunction()

# A path shown relative to the folder `here` where that is shorter.
function(short path here out)
  file(RELATIVE_PATH relative "${here}" "${path}")
  if(relative MATCHES "^\\.\\./\\.\\./")
    set(relative "${path}")
  endif()
  set(${out} "${relative}" PARENT_SCOPE)
endfunction()

# Reads a file the program wrote as bytes, with CRLF as LF where `crlf_is_lf`
# (text-mode output on Windows), and removes it. Sets `problem` when it holds
# more than `max_output` bytes.
function(read_output file max_output crlf_is_lf out problem)
  set(${problem} "" PARENT_SCOPE)
  set(${out} "" PARENT_SCOPE)
  file(SIZE "${file}" size)
  if(size GREATER max_output)
    set(${problem} "wrote more than ${max_output} bytes" PARENT_SCOPE)
    file(REMOVE "${file}")
    return()
  endif()
  read_bytes("${file}" bytes)
  file(REMOVE "${file}")
  if(crlf_is_lf)
    string(REPLACE " ${CARRIAGE_RETURN} ${NEWLINE}" " ${NEWLINE}" bytes "${bytes}")
  endif()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# Quotes a word for a POSIX shell, where it needs it.
function(quoted word out)
  if(word MATCHES "^[A-Za-z0-9_./:=+-]+$")
    set(${out} "${word}" PARENT_SCOPE)
  else()
    string(REPLACE "'" "'\\''" word "${word}")
    set(${out} "'${word}'" PARENT_SCOPE)
  endif()
endfunction()

# Runs one case, `dir`/`name`.*, of kind `kind`, with `executable` (started as
# `given` shows it, through `emulator` if there is one) and the options of
# the check. Sets `out` to nothing when it passes, else to why it fails, and
# `hung` when it did not finish in time.
function(check_case dir kind name executable given argv0 emulator timeout work here
                    crlf_is_lf max_output out hung)
  set(${hung} FALSE PARENT_SCOPE)
  set(input "${work}/empty")
  set(shown_input "/dev/null")
  if(CMAKE_HOST_WIN32)
    set(shown_input "NUL")
  endif()
  if(EXISTS "${dir}/${name}.in")
    set(input "${dir}/${name}.in")
    short("${input}" "${here}" shown_input)
  endif()

  # The command is put together as code, one bracket argument per word, so
  # that an empty argument or one with spaces or semicolons stays as it is.
  set(code "execute_process(COMMAND")
  set(line "")
  foreach(word IN LISTS emulator)
    string(APPEND code " [==[${word}]==]")
    quoted("${word}" q)
    string(APPEND line "${q} ")
  endforeach()
  string(APPEND code " [==[${executable}]==]")
  quoted("${given}" q)
  string(APPEND line "${q}")
  if(EXISTS "${dir}/${name}.args")
    file(READ "${dir}/${name}.args" args)
    while(NOT args STREQUAL "")
      string(FIND "${args}" "\n" end)
      if(end LESS 0)
        string(LENGTH "${args}" end)
      endif()
      string(SUBSTRING "${args}" 0 ${end} word)
      string(APPEND code " [==[${word}]==]")
      quoted("${word}" q)
      string(APPEND line " ${q}")
      math(EXPR end "${end} + 1")
      string(SUBSTRING "${args}" ${end} -1 args)
    endwhile()
  endif()
  string(APPEND code " INPUT_FILE [==[${input}]==]"
         " OUTPUT_FILE [==[${work}/stdout]==] ERROR_FILE [==[${work}/stderr]==]"
         " TIMEOUT ${timeout} RESULT_VARIABLE status)")
  cmake_language(EVAL CODE "${code}")
  set(how "\n    input    ${shown_input}\n    run      ${line} < ${shown_input}")

  read_output("${work}/stdout" ${max_output} ${crlf_is_lf} stdout problem)
  if(problem STREQUAL "")
    read_output("${work}/stderr" ${max_output} ${crlf_is_lf} stderr problem)
  endif()
  if(status MATCHES "timeout")
    set(${out} "did not finish within ${timeout} seconds${how}" PARENT_SCOPE)
    set(${hung} TRUE PARENT_SCOPE)
    return()
  elseif(NOT problem STREQUAL "")
    set(${out} "${problem}${how}" PARENT_SCOPE)
    return()
  endif()

  read_bytes("${dir}/${name}.out" expected)
  text_bytes("${argv0}" name_bytes)
  text_bytes("{argv0}" placeholder)
  string(REPLACE "${placeholder}" "${name_bytes}" expected "${expected}")
  set(expected_err "")
  set(expected_status 0)
  if(kind STREQUAL "refusal")
    read_bytes("${dir}/${name}.err" expected_err)
    set(expected_status 1)
  endif()
  judge("${expected}" "${expected_err}" ${expected_status} "${stdout}" "${stderr}" "${status}" problem)
  if(NOT problem STREQUAL "")
    set(${out} "${problem}${how}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# The script's own arguments: those after `-P tests/check.cmake`.
function(script_arguments out)
  set(words "")
  math(EXPR last "${CMAKE_ARGC} - 1")
  foreach(i RANGE ${last})
    if(CMAKE_ARGV${i} STREQUAL "-P")
      math(EXPR first "${i} + 2")
      if(first LESS_EQUAL last)
        foreach(j RANGE ${first} ${last})
          list(APPEND words "${CMAKE_ARGV${j}}")
        endforeach()
      endif()
      break()
    endif()
  endforeach()
  set(${out} "${words}" PARENT_SCOPE)
endfunction()

# The check itself: the arguments, then every case in turn. `here` is the
# folder it was started in; `cases_root`, `emulator`, `timeout` and `junit`
# are the -D options.
function(check words here cases_root emulator timeout junit)
  set(usage "usage: cmake -P tests/check.cmake PROGRAM EXECUTABLE [behaviour | own | refusal | all]")
  list(LENGTH words count)
  if(count LESS 2 OR count GREATER 3)
    stop("" "${usage}")
  endif()
  list(GET words 0 program)
  list(GET words 1 executable)
  set(kinds behaviour)
  if(count EQUAL 3)
    list(GET words 2 kinds)
  endif()
  if(kinds STREQUAL "all")
    set(kinds behaviour own refusal)
  elseif(NOT kinds MATCHES "^(behaviour|own|refusal)$")
    stop("" "the cases to run are behaviour, own, refusal or all, not '${kinds}'")
  endif()

  set(cases "${cases_root}/${program}")
  if(program STREQUAL "" OR NOT IS_DIRECTORY "${cases}")
    file(GLOB known RELATIVE "${cases_root}" "${cases_root}/*")
    list(JOIN known ", " known)
    stop("" "no cases for '${program}' in ${cases_root} (there are: ${known})")
  endif()
  if(timeout STREQUAL "")
    set(timeout 10)
  elseif(NOT timeout MATCHES "^[0-9]*\\.?[0-9]+$" OR timeout EQUAL 0)
    stop("" "-D TIMEOUT takes a number of seconds greater than 0, not '${timeout}'")
  endif()
  if(NOT junit STREQUAL "")
    if(NOT IS_ABSOLUTE "${junit}")
      set(junit "${here}/${junit}")
    endif()
    get_filename_component(folder "${junit}" DIRECTORY)
    if(NOT IS_DIRECTORY "${folder}")
      stop("" "-D JUNIT names a file in ${folder}, which is not a folder")
    endif()
  endif()

  # Which cases run; a program may have none of a kind.
  set(todo "")
  foreach(kind IN LISTS kinds)
    file(GLOB outs RELATIVE "${cases}/${kind}" "${cases}/${kind}/*.out")
    list(SORT outs)
    foreach(out IN LISTS outs)
      string(REGEX REPLACE "\\.out$" "" name "${out}")
      list(APPEND todo "${kind}/${name}")
    endforeach()
  endforeach()
  if(todo STREQUAL "")
    if(kinds STREQUAL "behaviour")
      string(CONCAT why "${program} has no behaviour cases, as what it writes is left to whoever "
             "writes it; its own cases hold for this project's choices (see the README): "
             "cmake -P tests/check.cmake ${program} ${given} own")
      stop("" "${why}")
    endif()
    stop("" "${program} has no ${kinds} cases")
  endif()

  # The executable: a file, and one that can be run (unless an emulator runs it).
  set(given "${executable}")
  if(NOT IS_ABSOLUTE "${executable}")
    set(executable "${here}/${executable}")
  endif()
  if(NOT EXISTS "${executable}" AND EXISTS "${executable}.exe")
    string(APPEND executable ".exe")
  endif()
  set(unusable "")
  if(IS_DIRECTORY "${executable}")
    set(unusable "${given} is a folder; give the program's own file, such as build/test/bin/${program}")
  elseif(NOT EXISTS "${executable}")
    set(unusable "there is no file ${given}: build your program first, or check the path")
  elseif("${emulator}" STREQUAL "")
    get_filename_component(name "${executable}" NAME)
    get_filename_component(folder "${executable}" DIRECTORY)
    find_program(runnable NAMES "${name}" PATHS "${folder}" NO_DEFAULT_PATH NO_CACHE)
    if(NOT runnable)
      set(unusable "${given} is not a program that can be run (not executable: a source or text file?)")
    endif()
  endif()
  if(NOT unusable STREQUAL "")
    # For an autograder, a version that did not build fails every case.
    if(NOT junit STREQUAL "")
      set(xml "")
      foreach(case IN LISTS todo)
        string(REGEX MATCH "^[^/]+" kind "${case}")
        string(REGEX REPLACE "^[^/]+/" "" name "${case}")
        junit_case(xml "${program}.${kind}" "${name}" 0.000 FAIL "${unusable}")
      endforeach()
      list(LENGTH todo total)
      junit_write("${junit}" "${program}" ${total} ${total} 0 0.000 "${xml}")
    endif()
    stop("" "${unusable}")
  endif()

  set(max_output 4194304) # 4 MiB: far more than any case expects
  if(CMAKE_HOST_WIN32 OR executable MATCHES "\\.exe$")
    set(crlf_is_lf TRUE)
  else()
    set(crlf_is_lf FALSE)
  endif()

  # The name the program is started by, as it sees it: Wine shows a Unix path
  # as a path on its drive Z:.
  set(argv0 "${executable}")
  if("${emulator}" MATCHES "wine[^/]*$" AND NOT CMAKE_HOST_WIN32)
    string(REPLACE "/" "\\" argv0 "Z:${executable}")
  endif()

  # The work folder: under the system's temporary folder, removed on the way out.
  set(tmp "/tmp")
  foreach(candidate "$ENV{TMPDIR}" "$ENV{TEMP}" "$ENV{TMP}")
    if(NOT candidate STREQUAL "" AND IS_DIRECTORY "${candidate}")
      set(tmp "${candidate}")
      break()
    endif()
  endforeach()
  string(RANDOM LENGTH 12 tag)
  set(work "${tmp}/check-${program}-${tag}")
  file(MAKE_DIRECTORY "${work}")
  file(WRITE "${work}/empty" "")

  # An emulator may announce itself on its first start (a fresh Wine prefix
  # does): one run before the cases, with nothing checked, lets it.
  if(NOT "${emulator}" STREQUAL "")
    math(EXPR warm_up "${timeout} + 60")
    execute_process(COMMAND ${emulator} "${executable}" INPUT_FILE "${work}/empty"
                    OUTPUT_QUIET ERROR_QUIET TIMEOUT ${warm_up})
  endif()

  set(passed 0)
  set(failed 0)
  set(skipped 0)
  set(hung_on "")
  set(keys "")   # key=case: each kind of failure, and the first case that failed so
  set(xml "")
  now(started)
  foreach(case IN LISTS todo)
    string(REGEX MATCH "^[^/]+" kind "${case}")
    string(REGEX REPLACE "^[^/]+/" "" name "${case}")
    if(NOT hung_on STREQUAL "")
      math(EXPR skipped "${skipped} + 1")
      junit_case(xml "${program}.${kind}" "${name}" 0.000 SKIP
                 "not run: ${program}/${hung_on} did not finish")
      continue()
    endif()
    now(start)
    check_case("${cases}/${kind}" ${kind} "${name}" "${executable}" "${given}" "${argv0}"
               "${emulator}" ${timeout} "${work}" "${here}" ${crlf_is_lf} ${max_output} problem hung)
    now(end)
    math(EXPR took "${end} - ${start}")
    as_seconds(${took} seconds)
    if(problem STREQUAL "")
      math(EXPR passed "${passed} + 1")
      say("pass ${program}/${case}")
      junit_case(xml "${program}.${kind}" "${name}" ${seconds} pass "")
    else()
      math(EXPR failed "${failed} + 1")
      junit_case(xml "${program}.${kind}" "${name}" ${seconds} FAIL "${problem}")
      # After three failures in full, one that an earlier one already shows
      # takes a line.
      failure_key("${problem}" key)
      string(REGEX MATCH "(^|;)${key}=([^;]*)" earlier "${keys}")
      if(failed GREATER 3 AND NOT earlier STREQUAL "")
        set(earlier "${CMAKE_MATCH_2}")
        string(REGEX MATCH "^[^\n]*" first "${problem}")
        string(REGEX REPLACE ":$" "" first "${first}")
        say("FAIL ${program}/${case}: ${first}, as in ${program}/${earlier}")
      else()
        say("FAIL ${program}/${case}: ${problem}")
        if(earlier STREQUAL "")
          list(APPEND keys "${key}=${case}")
        endif()
      endif()
    endif()
    if(hung)
      set(hung_on "${case}")
    endif()
  endforeach()
  file(REMOVE_RECURSE "${work}")

  math(EXPR total "${passed} + ${failed} + ${skipped}")
  if(NOT junit STREQUAL "")
    now(finished)
    math(EXPR took "${finished} - ${started}")
    as_seconds(${took} seconds)
    junit_write("${junit}" "${program}" ${total} ${failed} ${skipped} ${seconds} "${xml}")
  endif()
  if(skipped GREATER 0)
    say("SKIP the other ${skipped} cases: ${program}/${hung_on} did not finish, and would not on them either")
    say("${passed} passed, ${failed} failed, ${skipped} skipped")
  else()
    say("${passed} passed, ${failed} failed")
  endif()
  if(failed GREATER 0 OR skipped GREATER 0)
    math(EXPR short_of "${failed} + ${skipped}")
    stop("" "${short_of} of ${total} cases did not pass")
  endif()
endfunction()

set(reason "")
if(NOT DEFINED CASES)
  set(CASES "${CMAKE_CURRENT_LIST_DIR}/cases")
endif()
script_arguments(words)
check("${words}" "${CMAKE_CURRENT_SOURCE_DIR}" "${CASES}" "${EMULATOR}" "${TIMEOUT}" "${JUNIT}")
if(NOT reason STREQUAL "")
  # CMake before 3.29 can end a script with a failure status only by reporting
  # an error, which it heads with a line of its own.
  if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.29)
    message(NOTICE "check: ${reason}")
    cmake_language(EXIT 1)
  endif()
  message(FATAL_ERROR " check: ${reason}")
endif()
