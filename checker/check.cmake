# Checks a program against its cases: runs it on each one and compares what it
# writes, byte for byte, with what the case expects.
#
#   cmake -P checker/check.cmake PROGRAM EXECUTABLE [behaviour | generated | own | refusal | all]
#
# PROGRAM names the folder checker/cases/PROGRAM; EXECUTABLE is the program to
# check, yours or this project's. By default the behaviour cases run, then the
# generated ones (generate.cmake beside this file): valid input, which every
# version that does what the program must do answers the same way, picked by
# hand and drawn over the whole valid input. The others are this project's
# own answers, which a version of yours need not share: `own` runs the valid
# input whose answer is a choice left to whoever writes the program (towers
# with no disks, a negative power), `refusal` the unusable input, and `all`
# runs every case. The options
# -D EMULATOR=<command> (a program that runs EXECUTABLE, such as Wine; a list),
# -D TIMEOUT=<seconds> (10 by default), -D CASES=<folder> (the cases, when
# not checker/cases), -D JUNIT=<file> (a JUnit XML report as well, for an
# autograder or a CI test reporter), -D STUDENT=<name> (whose version it is:
# the JUnit names then begin with it, and hold no times) and -D SEAL=ON (each
# case run sealed off, within the limits of seal.cmake beside this file: on
# Linux, with bubblewrap) go before -P.
#
# A case is a few files with the same name, side by side:
#   NAME.in    its standard input (no file: empty input)
#   NAME.args  its command-line arguments, one per line
#   NAME.out   the exact standard output expected; in it, {argv0} stands for
#              the name the program was started by (the path given here)
#   NAME.err   (refusal cases) the one line expected on standard error
#   NAME.note  one line that says what the case tests, shown when it fails
# A behaviour or own case must exit with status 0 and write nothing on standard
# error; a refusal case must exit with status 1. Where Windows text-mode output
# writes CRLF line ends (on Windows, or for an .exe), they count as LF.
#
# Each case runs in an empty folder of its own, as its current folder, with a
# copy of its input under a name that says nothing of the case. On POSIX
# systems neither stream may grow past the limit plus 4 KiB on disk, and on
# Linux whatever the program left running is stopped after its case. Nothing
# the user gives (a path, an argument) is ever run as CMake code.
#
# Prints a line per case, pass or FAIL with the first difference, then the line
# "N passed, M failed". The exit status is 0 when every case passed. How a
# difference is shown, and how the lines of a check are put together, is in
# report.cmake beside this file, and as examples in rules.json.
cmake_minimum_required(VERSION 3.25)
if(POLICY CMP0152) # a link is followed before a `..` after it
  cmake_policy(SET CMP0152 NEW)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/report.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/names.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/seal.cmake)

# A program built with the sanitizer for undefined behaviour (g++ or clang++
# -fsanitize=undefined) stops at its first finding, and reports it with the
# calls that led there: the case's failure tells it.
if(NOT DEFINED ENV{UBSAN_OPTIONS})
  set(ENV{UBSAN_OPTIONS} "print_stacktrace=1:halt_on_error=1")
endif()

# The limits (limits.json, which the page reads too): a case's seconds, unless
# -D TIMEOUT says otherwise, and the bytes it may write on each stream (4 MiB:
# far more than any case expects).
file(READ "${CMAKE_CURRENT_LIST_DIR}/limits.json" limits)
string(JSON DEFAULT_TIMEOUT GET "${limits}" "case seconds")
string(JSON MAX_OUTPUT GET "${limits}" "case output bytes")
# On POSIX systems the program starts through the shell, which limits the size
# of every file it writes to blocks of 512 bytes: the limit and 4 KiB. It then
# becomes the program: its status and its signals are its own.
math(EXPR FILE_BLOCKS "(${MAX_OUTPUT} + 4096) / 512")
set(LIMITED_START /bin/sh -c "ulimit -f ${FILE_BLOCKS} 2>/dev/null\nexec \"$@\"" sh)

# Prints text on standard output as it stands: through the shell's printf
# where there is one, which starts in a tenth of the time CMake takes.
function(say text)
  if(CMAKE_HOST_WIN32)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${text}")
  else()
    execute_process(COMMAND /bin/sh -c [[printf '%s\n' "$1"]] sh "${text}")
  endif()
endfunction()

# A path shown relative to the folder `here` where that is shorter.
function(short path here out)
  file(RELATIVE_PATH relative "${here}" "${path}")
  if(relative MATCHES "^\\.\\./\\.\\./")
    set(relative "${path}")
  endif()
  set(${out} "${relative}" PARENT_SCOPE)
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

# Reads the start of what a program wrote, at most `most` bytes, with CRLF as
# LF where `crlf_is_lf` (text-mode output on Windows).
function(read_output file most crlf_is_lf out)
  file(READ "${file}" hex LIMIT ${most} HEX)
  string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
  if(crlf_is_lf)
    string(REPLACE " ${CARRIAGE_RETURN} ${NEWLINE}" " ${NEWLINE}" bytes "${bytes}")
  endif()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# Stops what a program left running (Linux): every process of this user whose
# current folder is `folder`, or whose standard output or error is still the
# file the program wrote to. The links are read here, without a process of
# their own; one starts only when there is something to stop.
function(stop_left_over folder stdout stderr)
  if(NOT EXISTS /proc/self/cwd)
    return()
  endif()
  file(REAL_PATH "${folder}" folder)
  file(REAL_PATH "${stdout}" stdout)
  file(REAL_PATH "${stderr}" stderr)
  file(GLOB processes LIST_DIRECTORIES true "/proc/[0-9]*")
  set(left "")
  foreach(process IN LISTS processes)
    file(REAL_PATH "${process}/cwd" cwd)
    file(REAL_PATH "${process}/fd/1" out)
    file(REAL_PATH "${process}/fd/2" err)
    if(cwd STREQUAL folder OR out STREQUAL stdout OR err STREQUAL stderr)
      string(REPLACE "/proc/" "" process "${process}")
      list(APPEND left "${process}")
    endif()
  endforeach()
  if(NOT left STREQUAL "")
    execute_process(COMMAND /bin/sh -c [[kill -KILL "$@" 2>/dev/null; exit 0]] sh ${left}
                    OUTPUT_QUIET ERROR_QUIET)
  endif()
endfunction()

# Runs one case, KIND/NAME under `cases`, with `executable` (started as
# `given` shows it, through `emulator` if there is one) and the options of
# the check. Sets `out` to nothing when it passes, else to why it fails, and
# `hung` when it did not finish in time (`out` then says how to run it).
function(check_case cases case executable given argv0 emulator timeout work here crlf_is_lf out hung)
  set(${hung} FALSE PARENT_SCOPE)
  string(REGEX MATCH "^[^/]+" kind "${case}")
  string(REGEX REPLACE "^[^/]+/" "" name "${case}")
  set(dir "${cases}/${kind}")
  set(shown_input "/dev/null")
  if(CMAKE_HOST_WIN32)
    set(shown_input "NUL")
  endif()
  # The program's own folder, empty, and its input, named after nothing.
  set(folder "${work}/run")
  file(REMOVE_RECURSE "${folder}")
  file(MAKE_DIRECTORY "${folder}")
  if(EXISTS "${dir}/${name}.in")
    file(COPY_FILE "${dir}/${name}.in" "${work}/input")
    short("${dir}/${name}.in" "${here}" shown_input)
    shown_text("${shown_input}" shown_input)
  else()
    file(WRITE "${work}/input" "")
  endif()

  # The arguments, each its own variable, never a list: an argument may hold
  # a semicolon or a bracket, or be empty.
  set(line "")
  foreach(word IN LISTS emulator)
    quoted("${word}" q)
    shown_text("${q}" q)
    string(APPEND line "${q} ")
  endforeach()
  quoted("${given}" q)
  shown_text("${q}" q)
  string(APPEND line "${q}")
  set(count 0)
  if(EXISTS "${dir}/${name}.args")
    file(READ "${dir}/${name}.args" args)
    while(NOT args STREQUAL "")
      string(FIND "${args}" "\n" end)
      if(end LESS 0)
        string(LENGTH "${args}" end)
      endif()
      math(EXPR count "${count} + 1")
      string(SUBSTRING "${args}" 0 ${end} a${count})
      quoted("${a${count}}" q)
      shown_text("${q}" q)
      string(APPEND line " ${q}")
      math(EXPR end "${end} + 1")
      string(SUBSTRING "${args}" ${end} -1 args)
    endwhile()
  endif()
  set(start "")
  if(SEAL)
    set(start ${sealed_start}) # the check's (below), the same for every case
  elseif(NOT CMAKE_HOST_WIN32)
    set(start ${LIMITED_START})
  endif()
  set(stdout "${work}/stdout")
  set(stderr "${work}/stderr")
  set(options INPUT_FILE "${work}/input" OUTPUT_FILE "${stdout}" ERROR_FILE "${stderr}"
              WORKING_DIRECTORY "${folder}" TIMEOUT ${timeout} RESULT_VARIABLE status)
  if(count EQUAL 0)
    execute_process(COMMAND ${start} ${emulator} "${executable}" ${options})
  elseif(count EQUAL 1)
    execute_process(COMMAND ${start} ${emulator} "${executable}" "${a1}" ${options})
  elseif(count EQUAL 2)
    execute_process(COMMAND ${start} ${emulator} "${executable}" "${a1}" "${a2}" ${options})
  elseif(count EQUAL 3)
    execute_process(COMMAND ${start} ${emulator} "${executable}" "${a1}" "${a2}" "${a3}" ${options})
  elseif(count EQUAL 4)
    execute_process(COMMAND ${start} ${emulator} "${executable}" "${a1}" "${a2}" "${a3}" "${a4}" ${options})
  else()
    message(FATAL_ERROR "${dir}/${name}.args: a case takes at most 4 arguments")
  endif()
  if(SEAL) # all it started has ended with it
    seal_status("${status}" status)
  else()
    stop_left_over("${folder}" "${stdout}" "${stderr}")
  endif()
  set(how "\n    input    ${shown_input}\n    run      ${line} < ${shown_input}")
  if(EXISTS "${dir}/${name}.note")
    file(READ "${dir}/${name}.note" note LIMIT 240)
    string(REGEX REPLACE "\n.*" "" note "${note}")
    shown_text("${note}" note)
    string(APPEND how "\n    note     ${note}")
  endif()
  if(status MATCHES "timeout")
    set(${out} "${how}" PARENT_SCOPE)
    set(${hung} TRUE PARENT_SCOPE)
    return()
  endif()

  # Past the limit, what the program wrote is not read at all.
  file(SIZE "${stdout}" out_size)
  file(SIZE "${stderr}" err_size)
  over_limit(${out_size} ${err_size} ${MAX_OUTPUT} problem)
  if(NOT problem STREQUAL "")
    file(REMOVE "${stdout}" "${stderr}")
    set(${out} "${problem}${how}" PARENT_SCOPE)
    return()
  endif()
  read_bytes("${dir}/${name}.out" expected)
  with_argv0("${expected}" "${argv0}" expected)
  set(expected_err "")
  set(expected_status 0)
  if(kind STREQUAL "refusal")
    read_bytes("${dir}/${name}.err" expected_err)
    set(expected_status 1)
  endif()
  # Only as much is read as the report can need: beyond twice the expected
  # bytes and a margin (a CRLF counts as one byte) the output differs anyway,
  # and the report shows at most 43 bytes past its first difference; of
  # standard error, also the first lines.
  byte_count("${expected}" most)
  math(EXPR most "(${most} + 64) * 2")
  read_output("${stdout}" ${most} ${crlf_is_lf} actual_out)
  byte_count("${expected_err}" most)
  math(EXPR most "(${most} + 64) * 2")
  if(most LESS_EQUAL STDERR_READ)
    math(EXPR most "${STDERR_READ} + 1")
  endif()
  read_output("${stderr}" ${most} ${crlf_is_lf} actual_err)
  file(REMOVE "${stdout}" "${stderr}")
  judge("${expected}" "${expected_err}" ${expected_status} "${actual_out}" "${actual_err}" "${status}"
        ${MAX_OUTPUT} problem)
  if(status STREQUAL "SIGXFSZ") # standard output past the limit is told above
    math(EXPR mib "${MAX_OUTPUT} / 1048576")
    string(PREPEND problem "wrote a file past the limit of ${mib} MiB: ")
  elseif(SEAL AND NOT problem STREQUAL "" AND NOT status EQUAL 0)
    # Memory refused past the limit: new throws, malloc says so.
    foreach(words "bad_alloc" "Cannot allocate memory" "out of memory")
      text_bytes("${words}" bytes)
      string(FIND "${actual_err}" "${bytes}" at)
      if(at GREATER_EQUAL 0)
        string(PREPEND problem "used more than ${SEAL_RUN_MEMORY_MIB} MiB of memory, the limit: ")
        break()
      endif()
    endforeach()
  endif()
  if(NOT problem STREQUAL "")
    set(${out} "${problem}${how}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# The JUnit report of a check that could not start: every case (or, when they
# are not known yet, one named `check`) failed with `why`.
function(junit_refused junit program todo why)
  if(junit STREQUAL "")
    return()
  endif()
  set(xml "")
  set(total 0)
  foreach(case IN LISTS todo)
    junit_case(xml "${program}" "${case}" 0.000 FAIL "${why}")
    math(EXPR total "${total} + 1")
  endforeach()
  if(total EQUAL 0)
    junit_case(xml "${program}" "check" 0.000 FAIL "${why}")
    set(total 1)
  endif()
  get_filename_component(folder "${junit}" DIRECTORY)
  if(IS_DIRECTORY "${folder}")
    junit_write("${junit}" "${program}" ${total} ${total} 0 0.000 "${xml}")
  endif()
endfunction()

# The check itself: the arguments (`count` of them, in `word0`..`word2`, each
# as given), then every case in turn. `here` is the folder it was started in;
# `cases_root`, `emulator`, `timeout` and `junit` are the -D options. Sets
# `refused` when the check cannot start (and `todo`, the cases it would have
# run, once they are known), `reason` when cases fail, and `work`, its work
# folder, once there is one.
function(check count word0 word1 word2 here cases_root emulator timeout junit)
  set(usage "usage: cmake -P checker/check.cmake PROGRAM EXECUTABLE [behaviour | generated | own | refusal | all]")
  if(count LESS 2 OR count GREATER 3)
    set(refused "${usage}" PARENT_SCOPE)
    return()
  endif()
  set(program "${word0}")
  set(given "${word1}")
  shown_text("${given}" given_shown)
  set(kinds behaviour generated)
  if(count EQUAL 3)
    set(kinds "${word2}")
  endif()
  if(kinds STREQUAL "all")
    set(kinds behaviour generated own refusal)
  elseif(NOT kinds MATCHES "^(behaviour|generated|own|refusal)(;generated)?$")
    shown_text("${kinds}" kinds)
    set(refused "the cases to run are behaviour, generated, own, refusal or all, not '${kinds}'" PARENT_SCOPE)
    return()
  endif()

  set(cases "${cases_root}/${program}")
  if(NOT program MATCHES "^[A-Za-z0-9_.-]+$" OR program MATCHES "^\\.\\.?$" OR NOT IS_DIRECTORY "${cases}")
    folder_entries(GLOB "${cases_root}" known)
    set(names "")
    set(i 0)
    while(i LESS known_count)
      string(APPEND names ", ${known_${i}}")
      math(EXPR i "${i} + 1")
    endwhile()
    string(REGEX REPLACE "^, " "" known "${names}")
    shown_text("${program}" program)
    set(refused "no cases for '${program}' in ${cases_root} (there are: ${known})" PARENT_SCOPE)
    return()
  endif()
  set(why "")
  if(timeout STREQUAL "")
    set(timeout ${DEFAULT_TIMEOUT})
  elseif(NOT timeout MATCHES "^[0-9]*\\.?[0-9]+$" OR timeout MATCHES "^[0.]*$")
    shown_text("${timeout}" timeout)
    set(why "-D TIMEOUT takes a number of seconds greater than 0, not '${timeout}'")
  endif()
  if(NOT junit STREQUAL "")
    get_filename_component(folder "${junit}" DIRECTORY)
    if(NOT IS_DIRECTORY "${folder}")
      shown_text("${folder}" folder)
      set(why "-D JUNIT names a file in ${folder}, which is not a folder")
    endif()
  endif()
  if(NOT why STREQUAL "")
    set(refused "${why}" PARENT_SCOPE)
    return()
  endif()

  # Which cases run; a program may have none of a kind.
  set(todo "")
  foreach(kind IN LISTS kinds)
    case_names("${cases}/${kind}" names)
    foreach(name IN LISTS names)
      list(APPEND todo "${kind}/${name}")
    endforeach()
  endforeach()
  if(todo STREQUAL "")
    if(kinds STREQUAL "behaviour;generated" OR kinds STREQUAL "behaviour")
      quoted("${given}" q)
      shown_text("${q}" q)
      string(CONCAT why "${program} has no behaviour cases, as what it writes is left to whoever "
             "writes it; its own cases hold for this project's choices (see the README): "
             "cmake -P checker/check.cmake ${program} ${q} own")
    else()
      set(why "${program} has no ${kinds} cases")
    endif()
    set(refused "${why}" PARENT_SCOPE)
    return()
  endif()

  # The executable: a file, and one that can be run here (unless an emulator runs it).
  set(executable "${given}")
  if(CMAKE_HOST_WIN32)
    file(TO_CMAKE_PATH "${executable}" executable)
  endif()
  if(NOT IS_ABSOLUTE "${executable}")
    set(executable "${here}/${executable}")
  endif()
  if(NOT EXISTS "${executable}" AND EXISTS "${executable}.exe")
    string(APPEND executable ".exe")
  endif()
  if(given MATCHES "\n")
    set(why "the path ${given_shown} holds a line break; give it without one")
  elseif(IS_DIRECTORY "${executable}")
    set(why "${given_shown} is a folder; give the program's own file, such as build/test/bin/${program}")
  elseif(NOT EXISTS "${executable}")
    set(why "there is no file ${given_shown}: build your program first, or check the path")
  elseif("${emulator}" STREQUAL "")
    file(READ "${executable}" magic LIMIT 2 HEX)
    set(runnable 0)
    if(NOT CMAKE_HOST_WIN32)
      execute_process(COMMAND /bin/sh -c "[ -x \"$1\" ]" sh "${executable}" RESULT_VARIABLE runnable)
    endif()
    if(magic STREQUAL "4d5a" AND NOT CMAKE_HOST_WIN32)
      set(why "${given_shown} is a Windows program, not a program for this system (try -D EMULATOR=wine)")
    elseif(NOT runnable EQUAL 0)
      set(why "${given_shown} is not a program that can be run (not executable: a source or text file?)")
    endif()
  endif()
  if(NOT why STREQUAL "")
    # For an autograder, a version that did not build fails every case.
    set(todo "${todo}" PARENT_SCOPE)
    set(refused "${why}" PARENT_SCOPE)
    return()
  endif()
  # A bare name is run from this folder, not looked up as a command: shown so.
  if(NOT given MATCHES "[/\\]")
    set(given "./${given}")
  endif()
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

  # The work folder: under the system's temporary folder, removed on the way
  # out. Where a shell can watch, it also goes once this check ends any other
  # way (Ctrl-C): a watcher that ignores the interrupt removes it a second
  # after this process is gone.
  set(tmp "/tmp")
  foreach(candidate "$ENV{TMPDIR}" "$ENV{TEMP}" "$ENV{TMP}")
    if(NOT candidate STREQUAL "" AND IS_DIRECTORY "${candidate}")
      file(TO_CMAKE_PATH "${candidate}" tmp)
      break()
    endif()
  endforeach()
  string(RANDOM LENGTH 12 tag)
  set(work "${tmp}/check-${program}-${tag}")
  file(MAKE_DIRECTORY "${work}")
  set(work "${work}" PARENT_SCOPE)
  if(NOT CMAKE_HOST_WIN32)
    execute_process(COMMAND /bin/sh -c [[
trap '' INT HUP TERM
checker=$PPID
( while kill -0 "$checker" 2>/dev/null; do sleep 1; done; rm -rf "$1" ) </dev/null >/dev/null 2>&1 &]]
                    sh "${work}" WORKING_DIRECTORY "${tmp}")
  endif()

  # An emulator may announce itself on its first start (a fresh Wine prefix
  # does): one run before the cases, with nothing checked, lets it.
  if(NOT "${emulator}" STREQUAL "")
    string(REGEX REPLACE "\\..*" "" whole "${timeout}")
    if(whole STREQUAL "")
      set(whole 0)
    endif()
    math(EXPR warm_up "${whole} + 61")
    file(WRITE "${work}/input" "")
    execute_process(COMMAND ${emulator} "${executable}" INPUT_FILE "${work}/input" WORKING_DIRECTORY "${work}"
                    OUTPUT_QUIET ERROR_QUIET TIMEOUT ${warm_up})
  endif()

  # Sealed, each case's program sees itself and an empty folder of its own, at
  # the same paths.
  if(SEAL)
    unset(ENV{SEAL_WRITE})
    set(ENV{SEAL_FOLDER} "${work}/run")
    set(ENV{SEAL_READ_1} "${executable}")
    foreach(i RANGE 2 9)
      unset(ENV{SEAL_READ_${i}})
    endforeach()
    seal_command(sealed_start MEMORY_MIB ${SEAL_RUN_MEMORY_MIB} PROCESSES ${SEAL_RUN_PROCESSES}
                 DISK_MIB ${SEAL_RUN_DISK_MIB} FILE_BLOCKS ${FILE_BLOCKS})
  endif()

  check_start(tally)
  set(xml "")
  # In a class (-D STUDENT), the report's names carry the student, and it holds no
  # times, so that grading again writes the same file.
  set(suite "${program}")
  if(NOT "${STUDENT}" STREQUAL "")
    set(suite "${STUDENT}.${program}")
  endif()
  set(run 0)
  set(shown_lines "")
  list(LENGTH todo total)
  now(started)
  foreach(case IN LISTS todo)
    now(start)
    check_case("${cases}" "${case}" "${executable}" "${given}" "${argv0}" "${emulator}" ${timeout}
               "${work}" "${here}" ${crlf_is_lf} problem hung)
    now(end)
    math(EXPR run "${run} + 1")
    math(EXPR took "${end} - ${start}")
    as_seconds(${took} seconds)
    if(NOT "${STUDENT}" STREQUAL "")
      set(seconds 0.000)
    endif()
    check_next(tally "${program}/${case}" "${problem}" ${hung} ${timeout} line)
    # A check's lines are shown as each case ends; in a class, where nobody
    # watches, once at the end, which spares a process for each case.
    if("${STUDENT}" STREQUAL "")
      say("${line}")
    else()
      string(APPEND shown_lines "${line}\n")
    endif()
    if(hung)
      junit_case(xml "${suite}" "${case}" ${seconds} FAIL "did not finish within ${timeout} seconds${problem}")
      break()
    elseif(problem STREQUAL "")
      junit_case(xml "${suite}" "${case}" ${seconds} pass "")
    else()
      junit_case(xml "${suite}" "${case}" ${seconds} FAIL "${problem}")
    endif()
  endforeach()
  # The cases not run after one that did not finish.
  math(EXPR left "${total} - ${run}")
  set(skipped 0)
  if(left GREATER 0)
    set(skipped ${left})
    list(SUBLIST todo ${run} -1 rest)
    foreach(case IN LISTS rest)
      junit_case(xml "${suite}" "${case}" 0.000 SKIP "not run: ${tally_hung} did not finish")
    endforeach()
  endif()
  set(failed ${tally_failed})
  check_end(tally ${left} lines)
  if(NOT junit STREQUAL "")
    now(finished)
    math(EXPR took "${finished} - ${started}")
    as_seconds(${took} seconds)
    if(NOT "${STUDENT}" STREQUAL "")
      set(seconds 0.000)
    endif()
    junit_write("${junit}" "${suite}" ${total} ${failed} ${skipped} ${seconds} "${xml}")
  endif()
  say("${shown_lines}${lines}")
  if(failed GREATER 0 OR skipped GREATER 0)
    math(EXPR short_of "${failed} + ${skipped}")
    set(reason "${short_of} of ${total} cases did not pass" PARENT_SCOPE)
  endif()
endfunction()

# The script's own arguments, each as given: a path may hold a semicolon.
script_words()

set(reason "")
set(refused "")
set(todo "")
set(work "")
if(NOT DEFINED CASES)
  set(CASES "${CMAKE_CURRENT_LIST_DIR}/cases")
endif()
set(junit "${JUNIT}")
if(NOT junit STREQUAL "" AND NOT IS_ABSOLUTE "${junit}")
  set(junit "${CMAKE_CURRENT_SOURCE_DIR}/${junit}")
endif()
check(${count} "${word0}" "${word1}" "${word2}" "${CMAKE_CURRENT_SOURCE_DIR}" "${CASES}" "${EMULATOR}"
      "${TIMEOUT}" "${junit}")
if(NOT work STREQUAL "")
  file(REMOVE_RECURSE "${work}")
endif()
if(NOT refused STREQUAL "")
  # The report of a check that could not start, named after the program
  # where that is a name.
  set(suite "check")
  if(word0 MATCHES "^[A-Za-z0-9_.-]+$")
    set(suite "${word0}")
  endif()
  junit_refused("${junit}" "${suite}" "${todo}" "${refused}")
  set(reason "${refused}")
endif()
if(NOT reason STREQUAL "")
  # CMake before 3.29 can end a script with a failure status only by reporting
  # an error, which it heads with a line of its own.
  if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.29)
    message(NOTICE "check: ${reason}")
    cmake_language(EXIT 1)
  endif()
  message(FATAL_ERROR " check: ${reason}")
endif()
