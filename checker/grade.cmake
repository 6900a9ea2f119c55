# Grades a class: builds each student's version of a program and checks it
# against the behaviour and generated cases (a program with no behaviour cases,
# check.cmake does, then writes a report per student and a table of the class.
#
#   cmake [-D JOBS=N] [-D CXX=<compiler>] [-D CC=<compiler>] [-D TIMEOUT=<seconds>]
#         [-D CASES=<folder>] [-D SEED=<number>] [-D UNSANDBOXED=ON]
#         -P checker/grade.cmake PROGRAM SUBMISSIONS REPORTS
#
# SUBMISSIONS holds one folder per student, named after the student, with the
# student's .c and .cpp files in it (C or C++ by the file's ending), or one
# file per student, named after the student (as course sites export them), or
# both. For a program built from modules (powers, strip_char), a student may
# hand in the main module only: the project's other modules that the
# submission lacks are linked in when the link needs them. Each is built with
# the one compile line of flags.txt, by g++, clang++ or MSVC's cl (the first
# found, or -D CXX; C files by the matching C compiler, or -D CC), N at a time
# (-D JOBS, by default the number of cores), with its checks for undefined
# behaviour where the compiler has them: a case where a version goes wrong
# fails with what it did, where, and through which calls.
#
# REPORTS gets, for each student, STUDENT.txt (what the compiler and the
# checker said) and STUDENT.xml (JUnit: suite STUDENT.PROGRAM, testcases
# classed STUDENT.PROGRAM.KIND; a failed build is one failed testcase,
# STUDENT.PROGRAM.build, holding the compiler's message); for the class,
# class.csv (student, built, passed, failed, skipped, cases, score, the
# fraction of the cases passed) and class.txt, the same as a table. Grading
# again writes the same files. A student's report files are named after the
# student, each name for one student alone.
#
# Each compile and each run is sealed off (seal.cmake beside this file, on
# Linux, with bubblewrap): it sees a copy of the student's files, the system's
# compilers and libraries, and nothing of the grader's, within limits of time,
# memory, processes and disk. Where it cannot be sealed, grading refuses to
# start unless -D UNSANDBOXED=ON runs each submission with the rights of
# whoever grades it; class.csv and class.txt then say so. -D CASES=<folder>
# grades on cases of one's own, laid out as checker/cases; -D SEED=<number>
# on generated cases drawn afresh with that seed (generate.cmake), kept in
# REPORTS/cases, the seed named in class.txt.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/report.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/names.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/class.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/seal.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/programs.cmake)
set(here "${CMAKE_CURRENT_LIST_DIR}")
get_filename_component(project "${here}/.." ABSOLUTE)

function(refuse why)
  message(FATAL_ERROR " grade: ${why}")
endfunction()

# The script's own arguments, each as given; a worker (below) has them from
# the environment, where no list splits them.
if(DEFINED WORKER)
  set(count 3)
  set(word0 "$ENV{GRADE_PROGRAM}")
  set(word1 "$ENV{GRADE_SUBMISSIONS}")
  set(word2 "$ENV{GRADE_REPORTS}")
  set(CXX "$ENV{GRADE_CXX}")
  set(CC "$ENV{GRADE_CC}")
  set(cases_root "$ENV{GRADE_CASES}")
  set(sealed "$ENV{GRADE_SEALED}")
  if(DEFINED ENV{GRADE_TIMEOUT})
    set(TIMEOUT "$ENV{GRADE_TIMEOUT}")
  endif()
else()
  script_words()
endif()
if(NOT count EQUAL 3)
  refuse("usage: cmake [-D JOBS=N] [-D CXX=<compiler>] -P checker/grade.cmake PROGRAM SUBMISSIONS REPORTS")
endif()
set(program "${word0}")
get_filename_component(submissions "${word1}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
get_filename_component(reports "${word2}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
if(NOT DEFINED WORKER)
  set(cases_root "${here}/cases")
  if(DEFINED CASES)
    get_filename_component(cases_root "${CASES}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
endif()
if(NOT program MATCHES "^[A-Za-z0-9_]+$" OR NOT IS_DIRECTORY "${cases_root}/${program}")
  shown_text("${program}" program)
  shown_text("${cases_root}" shown_root)
  refuse("no cases for '${program}' in ${shown_root}")
endif()
if(reports MATCHES "\n")
  refuse("the reports' folder is named with a line break; name one without")
endif()
if(NOT IS_DIRECTORY "${submissions}")
  shown_text("${submissions}" submissions)
  refuse("${submissions} is not a folder of submissions")
endif()

# The students, in order of their names (class.cmake).
class_students("${submissions}")
if(total EQUAL 0)
  refuse("no submissions in ${submissions}: a folder, or a .c or .cpp file, per student")
endif()
math(EXPR last_student "${total} - 1")

# The compilers, and the one compile line (flags.txt).
function(flags_of what out)
  file(STRINGS "${here}/flags.txt" line REGEX "^${what} ")
  string(REGEX MATCH "^[^ ]+ (.*)$" line "${line}") # REPLACE would take every word
  separate_arguments(line UNIX_COMMAND "${CMAKE_MATCH_1}")
  set(${out} "${line}" PARENT_SCOPE)
endfunction()
if(NOT DEFINED CXX)
  find_program(CXX NAMES g++ clang++ c++ cl NO_CACHE)
  if(NOT CXX)
    refuse("no C++ compiler found (g++, clang++ or cl); name one with -D CXX=<compiler>")
  endif()
endif()
get_filename_component(cxx_name "${CXX}" NAME_WE)
if(NOT DEFINED CC)
  if(cxx_name STREQUAL "cl" OR cxx_name STREQUAL "clang-cl")
    set(CC "${CXX}")
  else()
    # g++-12 -> gcc-12, clang++ -> clang, c++ -> cc, in the same folder.
    set(CC "${CXX}")
    if(CXX MATCHES "^(.*)clang\\+\\+([^/\\\\]*)$")
      set(CC "${CMAKE_MATCH_1}clang${CMAKE_MATCH_2}")
    elseif(CXX MATCHES "^(.*)g\\+\\+([^/\\\\]*)$")
      set(CC "${CMAKE_MATCH_1}gcc${CMAKE_MATCH_2}")
    elseif(CXX MATCHES "^(.*)c\\+\\+([^/\\\\]*)$")
      set(CC "${CMAKE_MATCH_1}cc${CMAKE_MATCH_2}")
    endif()
  endif()
endif()
if(cxx_name STREQUAL "cl" OR cxx_name STREQUAL "clang-cl")
  set(msvc TRUE)
  flags_of("msvc-c\\+\\+" cxx_flags)
  flags_of("msvc-c" c_flags)
  set(link_flags "")
else()
  set(msvc FALSE)
  flags_of("c\\+\\+" cxx_flags)
  flags_of("c" c_flags)
  flags_of("link" link_flags)
  flags_of("checks" check_flags)
endif()
if(NOT DEFINED JOBS)
  cmake_host_system_information(RESULT JOBS QUERY NUMBER_OF_LOGICAL_CORES)
endif()
if(NOT JOBS MATCHES "^[1-9][0-9]*$")
  refuse("-D JOBS takes a number of jobs, 1 or more")
endif()
if(JOBS GREATER total)
  set(JOBS ${total})
endif()
# The behaviour cases, and how many; for a program that has none (strip_char), its own.
file(READ "${project}/programs.json" facts)
string(JSON programs LENGTH "${facts}")
math(EXPR last "${programs} - 1")
set(index "")
foreach(i RANGE ${last})
  string(JSON name GET "${facts}" ${i} name)
  if(name STREQUAL program)
    set(index ${i})
  endif()
endforeach()

# Fresh cases (-D SEED): drawn by generate.cmake from the program's valid
# input, with the worked example built here, into REPORTS/cases beside the
# behaviour cases, and graded on in place of the generated ones.
if(DEFINED SEED AND NOT DEFINED WORKER)
  if(NOT SEED MATCHES "^[0-9]+$")
    refuse("-D SEED takes a whole number, the seed the cases are drawn with")
  endif()
  if(NOT EXISTS "${here}/cases/${program}/inputs.json")
    refuse("${program} has no description of its valid input to draw cases from")
  endif()
  set(fresh "${reports}/cases")
  file(REMOVE_RECURSE "${fresh}")
  file(MAKE_DIRECTORY "${fresh}/${program}")
  if(IS_DIRECTORY "${cases_root}/${program}/behaviour")
    file(COPY "${cases_root}/${program}/behaviour" DESTINATION "${fresh}/${program}")
  endif()
  # Its sources by their names (no path goes into a list), from its folder.
  program_sources("${facts}" ${index} example_sources)
  set(example "${fresh}/example${CMAKE_EXECUTABLE_SUFFIX}")
  if(msvc)
    execute_process(COMMAND "${CXX}" ${cxx_flags} "/Fe${example}" "/Fo${fresh}/" ${example_sources}
                    WORKING_DIRECTORY "${project}/${program}" RESULT_VARIABLE status
                    OUTPUT_VARIABLE said ERROR_VARIABLE said)
  else()
    execute_process(COMMAND "${CXX}" ${cxx_flags} -o "${example}" ${example_sources} ${link_flags}
                    WORKING_DIRECTORY "${project}/${program}" RESULT_VARIABLE status
                    OUTPUT_VARIABLE said ERROR_VARIABLE said)
  endif()
  if(NOT status EQUAL 0)
    refuse("the worked example ${program} does not build here:\n${said}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -D SEED=${SEED} -P "${here}/generate.cmake" ${program} "${example}"
                          "${fresh}/${program}/generated"
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE said)
  file(REMOVE "${example}")
  foreach(object IN LISTS example_sources)
    string(REGEX REPLACE "\\.[^.]*$" ".obj" object "${object}")
    file(REMOVE "${fresh}/${object}")
  endforeach()
  if(NOT status EQUAL 0)
    refuse("the cases could not be drawn:\n${said}")
  endif()
  set(cases_root "${fresh}")
endif()

# The cases: the behaviour and generated ones; for a program that has no
# behaviour cases (strip_char), its own. How many.
set(kind "")
if(IS_DIRECTORY "${cases_root}/${program}/behaviour")
  case_names("${cases_root}/${program}/behaviour" names)
  case_names("${cases_root}/${program}/generated" more)
  list(APPEND names ${more})
else()
  set(kind own)
  case_names("${cases_root}/${program}/own" names)
endif()
list(LENGTH names cases)
set(timeout "")
if(DEFINED TIMEOUT)
  set(timeout "-DTIMEOUT=${TIMEOUT}")
endif()

# Whether each compile and run is sealed off: where it cannot be, only when
# asked to grade without.
if(NOT DEFINED WORKER)
  set(sealed TRUE)
  if(UNSANDBOXED)
    set(sealed FALSE)
  else()
    seal_unavailable(why)
    if(NOT why STREQUAL "")
      string(CONCAT why "${why}.\nA student's program would run with your rights, able to read the "
             "expected answers and change any file you can. Grade in the page, which runs each one in "
             "the browser's sandbox, or add -D UNSANDBOXED=ON to grade here all the same.")
      refuse("${why}")
    endif()
  endif()
endif()
set(null /dev/null)
if(CMAKE_HOST_WIN32)
  set(null NUL)
endif()

# The command a compile starts with: sealed where grading is (seeing the
# student's build folder, the program's headers, the project's modules and
# the compilers), else within the same time, and its messages cut alike.
set(compile_start "")
set(compiler_reads 1)
if(sealed)
  math(EXPR blocks "${SEAL_COMPILE_DISK_MIB} * 2048")
  seal_command(compile_start MEMORY_MIB ${SEAL_COMPILE_MEMORY_MIB} PROCESSES ${SEAL_COMPILE_PROCESSES}
               DISK_MIB ${SEAL_COMPILE_DISK_MIB} FILE_BLOCKS ${blocks})
  set(n 1)
  foreach(compiler IN ITEMS "${CXX}" "${CC}")
    # A compiler outside the system's folders is seen where it is installed.
    if(IS_ABSOLUTE "${compiler}")
      file(REAL_PATH "${compiler}" real)
      get_filename_component(prefix "${real}" DIRECTORY)
      get_filename_component(prefix "${prefix}" DIRECTORY)
      if(NOT prefix MATCHES "^/usr(/|$)" AND NOT prefix STREQUAL "/")
        math(EXPR n "${n} + 1")
        set(ENV{SEAL_READ_${n}} "${prefix}")
      endif()
    endif()
  endforeach()
  set(compiler_reads ${n})
endif()

# What a compile said, in `work`/said: at most SEAL_COMPILE_MESSAGES bytes,
# cut with a note, in `out` in the caller's scope; and why it failed, when
# `status` says it did, in `failure` ("" when it did not).
function(compile_said work status)
  file(SIZE "${work}/said" size)
  file(READ "${work}/said" said LIMIT ${SEAL_COMPILE_MESSAGES})
  file(REMOVE "${work}/said")
  if(size GREATER SEAL_COMPILE_MESSAGES)
    math(EXPR kib "${SEAL_COMPILE_MESSAGES} / 1024")
    string(APPEND said "\n... (the compiler's messages are cut here: they ran past ${kib} KiB)\n")
  endif()
  set(out "${said}" PARENT_SCOPE)
  if(status MATCHES "timeout")
    set(failure "the compile took more than ${SEAL_COMPILE_SECONDS} s" PARENT_SCOPE)
  elseif(NOT status EQUAL 0 AND said MATCHES "memory exhausted|out of memory|Cannot allocate memory|bad_alloc")
    set(failure "the compile used more than ${SEAL_COMPILE_MEMORY_MIB} MiB of memory" PARENT_SCOPE)
  elseif(NOT status EQUAL 0)
    set(failure "it does not compile" PARENT_SCOPE)
  else()
    set(failure "" PARENT_SCOPE)
  endif()
endfunction()

# Builds one student's version into `exe`, in the folder `build` that holds a
# copy of the student's files, with what the compilers say written in `work`,
# the grader's own: each source (the caller's `sources` of them,
# source_0, ..., relative to `build`) compiled on its own, as C for a .c file
# and as C++ for any other, then linked, with the project's other modules when
# the link lacks them. The objects are named 1.o, 2.o, ... Sets `said` to what
# the compilers said and `why` to why it did not build, or "".
function(build build work exe said why)
  set(ENV{SEAL_WRITE} "${build}")
  set(ENV{SEAL_READ_1} "${project}/${program}")
  set(reads ${compiler_reads}) # and the modules it links, as they come
  set(crash_object "")
  if(crash)
    math(EXPR reads "${reads} + 1")
    set(ENV{SEAL_READ_${reads}} "${work_root}/crash.o")
    set(crash_object "../crash.o")
  endif()
  math(EXPR n "${reads} + 1")
  unset(ENV{SEAL_READ_${n}})
  set(messages "")
  set(objects "")
  set(any_cpp FALSE)
  set(n 0)
  while(n LESS sources)
    set(source "${source_${n}}")
    math(EXPR n "${n} + 1")
    set(object "${n}.o")
    if(source MATCHES "\\.c$")
      set(command "${CC}" ${c_flags})
      set(gnu c)
      set(ms /Tc)
    else()
      set(command "${CXX}" ${cxx_flags})
      set(gnu c++)
      set(ms /Tp)
      set(any_cpp TRUE)
    endif()
    if(msvc)
      execute_process(COMMAND ${command} /I "${project}/${program}" /c "/Fo${object}" "${ms}${source}"
                      WORKING_DIRECTORY "${build}" RESULT_VARIABLE status INPUT_FILE "${null}"
                      OUTPUT_FILE "${work}/said" ERROR_FILE "${work}/said" TIMEOUT ${SEAL_COMPILE_SECONDS})
    else()
      execute_process(COMMAND ${compile_start} ${command} -I "${project}/${program}" -c -o "${object}" -x ${gnu}
                              "${source}"
                      WORKING_DIRECTORY "${build}" RESULT_VARIABLE status INPUT_FILE "${null}"
                      OUTPUT_FILE "${work}/said" ERROR_FILE "${work}/said" TIMEOUT ${SEAL_COMPILE_SECONDS})
    endif()
    compile_said("${work}" "${status}")
    string(APPEND messages "${out}")
    if(NOT failure STREQUAL "")
      set(${said} "${messages}" PARENT_SCOPE)
      set(${why} "${failure}" PARENT_SCOPE)
      return()
    endif()
    list(APPEND objects "${object}")
  endwhile()
  set(linker "${CC}")
  if(any_cpp)
    set(linker "${CXX}")
  endif()
  foreach(attempt own with_modules)
    if(msvc)
      execute_process(COMMAND "${linker}" /nologo ${objects} "/Fe${exe}"
                      WORKING_DIRECTORY "${build}" RESULT_VARIABLE status INPUT_FILE "${null}"
                      OUTPUT_FILE "${work}/said" ERROR_FILE "${work}/said" TIMEOUT ${SEAL_COMPILE_SECONDS})
    else()
      execute_process(COMMAND ${compile_start} "${linker}" -o "${exe}" ${objects} ${crash_object} ${link_flags}
                      WORKING_DIRECTORY "${build}" RESULT_VARIABLE status INPUT_FILE "${null}"
                      OUTPUT_FILE "${work}/said" ERROR_FILE "${work}/said" TIMEOUT ${SEAL_COMPILE_SECONDS})
    endif()
    compile_said("${work}" "${status}")
    if(status EQUAL 0)
      set(messages "${messages}${out}")
      break()
    endif()
    # The project's other modules, those the submission has no file of.
    string(JSON count ERROR_VARIABLE none LENGTH "${facts}" ${index} modules)
    if(attempt STREQUAL "with_modules" OR NOT none STREQUAL "NOTFOUND"
       OR NOT out MATCHES "undefined|unresolved")
      set(messages "${messages}${out}")
      break()
    endif()
    math(EXPR count "${count} - 1")
    foreach(i RANGE ${count})
      string(JSON module GET "${facts}" ${index} modules ${i})
      set(mine FALSE)
      set(k 0)
      while(k LESS sources)
        get_filename_component(name "${source_${k}}" NAME)
        if(name STREQUAL module)
          set(mine TRUE)
        endif()
        math(EXPR k "${k} + 1")
      endwhile()
      if(NOT mine)
        # Compiled once for the class, by whichever worker needs it first, from
        # the project's own source, beside the students' build folders; a
        # student's build may read it.
        set(object "${work_root}/module-${i}.o")
        file(LOCK "${work_root}/modules.lock" GUARD FUNCTION)
        if(NOT EXISTS "${object}")
          if(msvc)
            execute_process(COMMAND "${CXX}" ${cxx_flags} /c "/Fo${object}" "${project}/${program}/${module}"
                            WORKING_DIRECTORY "${work_root}" OUTPUT_QUIET ERROR_QUIET)
          else()
            execute_process(COMMAND "${CXX}" ${cxx_flags} -c -o "${object}" "${project}/${program}/${module}"
                            WORKING_DIRECTORY "${work_root}" OUTPUT_QUIET ERROR_QUIET)
          endif()
        endif()
        file(LOCK "${work_root}/modules.lock" RELEASE)
        list(APPEND objects "../module-${i}.o")
        math(EXPR reads "${reads} + 1")
        set(ENV{SEAL_READ_${reads}} "${object}")
        set(linker "${CXX}")
      endif()
    endforeach()
  endforeach()
  set(${said} "${messages}" PARENT_SCOPE)
  if(status MATCHES "timeout")
    set(${why} "the compile took more than ${SEAL_COMPILE_SECONDS} s" PARENT_SCOPE)
  elseif(NOT status EQUAL 0)
    if(messages MATCHES "undefined reference to [`']_?main'|undefined symbol: _?main\n|unresolved external symbol _?main|_main\", referenced from")
      set(${why} "it has no main function" PARENT_SCOPE)
    else()
      set(${why} "it does not link" PARENT_SCOPE)
    endif()
  else()
    set(${why} "" PARENT_SCOPE)
  endif()
endfunction()

# Grades student k: the report, the JUnit file, and a row of the class table
# in work/row, where `work` is the grader's own folder for the student; the
# student's build is in a folder of its own.
function(grade k work)
  student_name("${submissions}" "${student_${k}_0}" student)
  # A copy of the student's files in `build`, the only folder the build
  # writes in: a folder's files at any depth, but none hidden nor in __MACOSX
  # nor a link, and the file handed in alone. Its .c and .cpp files are the
  # sources, source_0, source_1, ..., relative to it.
  set(build "${work_root}/${k}")
  file(REMOVE_RECURSE "${build}")
  file(MAKE_DIRECTORY "${build}")
  student_files("${submissions}" ${k} file)
  set(i 0)
  while(i LESS file_count)
    get_filename_component(folder "${build}/${file_${i}}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${submissions}/${file_${i}}" "${build}/${file_${i}}")
    math(EXPR i "${i} + 1")
  endwhile()
  set(sources 0)
  foreach(i IN LISTS file_sources)
    set(source_${sources} "${file_${i}}")
    math(EXPR sources "${sources} + 1")
  endforeach()
  # A name that starts like an option is read as a file's.
  set(i 0)
  while(i LESS sources)
    if(source_${i} MATCHES "^-")
      set(source_${i} "./${source_${i}}")
    endif()
    math(EXPR i "${i} + 1")
  endwhile()
  # The name as reports show it: what cannot be seen, or is not UTF-8, escaped;
  # the report files' name, one for this student alone.
  shown_text("${student}" shown)
  file(READ "${work}/name" file_name)
  set(text "${reports}/${file_name}.txt")
  set(xml "${reports}/${file_name}.xml")
  set(exe "${build}/my_${program}${CMAKE_EXECUTABLE_SUFFIX}")
  if(sources EQUAL 0)
    set(said "")
    set(why "it has no .c or .cpp file")
  else()
    build("${build}" "${work}" "${exe}" said why)
  endif()
  string(REPLACE "${build}/" "" said "${said}")
  string(REPLACE "${project}/" "" said "${said}") # the project's modules, as the student knows them
  if(NOT why STREQUAL "")
    unbuilt_report("${shown}" "${program}" "${why}" "${said}" report "${xml}")
    file(WRITE "${text}" "${report}")
    file(WRITE "${work}/row" "no;0;0;0;${cases}")
    return()
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DJUNIT=${xml}" "-DSTUDENT=${shown}" ${timeout}
                          "-DCASES=${cases_root}" "-DSEAL=${sealed}"
                          -P "${here}/check.cmake" ${program} "${exe}" ${kind}
                  WORKING_DIRECTORY "${work}" OUTPUT_VARIABLE out ERROR_VARIABLE err)
  # Paths as the student would see them, the same wherever the grading ran.
  string(REPLACE "${exe}" "./my_${program}" out "${out}")
  string(REPLACE "${here}/" "checker/" out "${out}")
  string(REPLACE "${reports}/" "" out "${out}")
  file(READ "${xml}" junit)
  string(REPLACE "${exe}" "./my_${program}" junit "${junit}")
  string(REPLACE "${here}/" "checker/" junit "${junit}")
  string(REPLACE "${reports}/" "" junit "${junit}")
  file(WRITE "${xml}" "${junit}")
  set(passed 0)
  set(failed 0)
  set(skipped 0)
  if(out MATCHES "\n([0-9]+) passed, ([0-9]+) failed(, ([0-9]+) skipped)?\n?$")
    set(passed ${CMAKE_MATCH_1})
    set(failed ${CMAKE_MATCH_2})
    if(NOT "${CMAKE_MATCH_3}" STREQUAL "")
      set(skipped ${CMAKE_MATCH_4})
    endif()
  else()
    set(failed ${cases})
    string(APPEND out "${err}")
  endif()
  file(WRITE "${text}" "${shown}: ${program}\n${said}${out}")
  file(WRITE "${work}/row" "yes;${passed};${failed};${skipped};${cases}")
endfunction()

set(work_root "${reports}/.grading")

# A worker (-D WORKER=k) takes the next student not yet taken, one at a time,
# until none is left: a slow one (a hang) holds up no other worker. Each
# builds with the checks for undefined behaviour where the compilers have them
# (as work_root/checks says).
if(DEFINED WORKER)
  file(READ "${work_root}/checks" checks)
  list(GET checks 1 crash)
  list(GET checks 0 checks)
  if(checks)
    list(APPEND cxx_flags ${check_flags})
    list(APPEND c_flags ${check_flags})
    list(APPEND link_flags ${check_flags})
  endif()
  while(TRUE)
    file(LOCK "${work_root}/next.lock" GUARD PROCESS)
    set(i 0)
    if(EXISTS "${work_root}/next")
      file(READ "${work_root}/next" i)
    endif()
    math(EXPR next "${i} + 1")
    file(WRITE "${work_root}/next" "${next}")
    file(LOCK "${work_root}/next.lock" RELEASE)
    if(i GREATER last_student)
      break()
    endif()
    grade(${i} "${work_root}/state/${i}")
  endwhile()
  return()
endif()

file(REMOVE_RECURSE "${work_root}")
file(MAKE_DIRECTORY "${work_root}")
# Whether the compilers have the checks for undefined behaviour (g++ and
# clang++ do, MinGW's and MSVC's do not): a program built with them stops at
# its first finding, and says what it was and where.
set(checks OFF)
if(NOT msvc)
  file(WRITE "${work_root}/probe.c" "int main(void) { return 0; }\n")
  execute_process(COMMAND "${CC}" ${c_flags} ${check_flags} -o probe probe.c ${link_flags}
                  WORKING_DIRECTORY "${work_root}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status EQUAL 0)
    set(checks ON)
  endif()
endif()
# On Linux, where g++'s sanitizer does not tell a crash (an endless recursion,
# for one), crash.c beside this file tells it, linked into each program.
set(crash OFF)
if(checks AND CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  execute_process(COMMAND "${CC}" ${c_flags} -c -o crash.o "${here}/crash.c"
                  WORKING_DIRECTORY "${work_root}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status EQUAL 0)
    execute_process(COMMAND "${CC}" ${c_flags} ${check_flags} -o probe probe.c crash.o ${link_flags}
                    WORKING_DIRECTORY "${work_root}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  endif()
  if(status EQUAL 0)
    set(crash ON)
  endif()
endif()
file(WRITE "${work_root}/checks" "${checks};${crash}")
# Each student's report files are named after the student (class.cmake).
set(taken "/class/")
foreach(i RANGE ${last_student})
  student_name("${submissions}" "${student_${i}_0}" student)
  shown_text("${student}" name)
  report_name("${name}" taken unique)
  file(WRITE "${work_root}/state/${i}/name" "${unique}")
endforeach()
# The workers run side by side, as the commands of one pipeline; none writes to
# its standard output. Each takes the next student in turn. What the user gave
# them goes through the environment, not in the pipeline's list of words.
set(ENV{GRADE_PROGRAM} "${program}")
set(ENV{GRADE_SUBMISSIONS} "${submissions}")
set(ENV{GRADE_REPORTS} "${reports}")
set(ENV{GRADE_CXX} "${CXX}")
set(ENV{GRADE_CC} "${CC}")
set(ENV{GRADE_CASES} "${cases_root}")
set(ENV{GRADE_SEALED} "${sealed}")
if(DEFINED TIMEOUT)
  set(ENV{GRADE_TIMEOUT} "${TIMEOUT}")
endif()
get_filename_component(script "${CMAKE_CURRENT_LIST_FILE}" NAME)
set(commands "")
math(EXPR top "${JOBS} - 1")
foreach(k RANGE ${top})
  list(APPEND commands COMMAND "${CMAKE_COMMAND}" "-DWORKER=${k}" -P "${script}")
endforeach()
execute_process(${commands} WORKING_DIRECTORY "${here}" OUTPUT_QUIET)

# The class: class.csv, and class.txt as a table. A student's name is never
# put in a list: it may hold a bracket.
function(name_of entry out)
  student_name("${submissions}" "${entry}" student)
  shown_text("${student}" shown)
  set(${out} "${shown}" PARENT_SCOPE)
endfunction()
function(characters text out) # UTF-8 continuation bytes do not count
  text_bytes("${text}" bytes)
  string(LENGTH "${bytes}" length)
  string(REGEX MATCHALL " [89ab][0-9a-f]" continuation "${bytes}")
  list(LENGTH continuation continuation)
  math(EXPR length "${length} / 3 - ${continuation}")
  set(${out} ${length} PARENT_SCOPE)
endfunction()
function(padded text width out)
  characters("${text}" length)
  while(length LESS width)
    string(APPEND text " ")
    math(EXPR length "${length} + 1")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
set(widest 7)
foreach(i RANGE ${last_student})
  name_of("${student_${i}_0}" shown)
  characters("${shown}" width)
  if(width GREATER widest)
    set(widest ${width})
  endif()
endforeach()
# Graded unsealed, the table and the header of the score's column say so.
set(unsealed "")
if(NOT sealed)
  set(unsealed " (unsealed)")
endif()
set(csv "student,built,passed,failed,skipped,cases,score${unsealed}\n")
padded("student" ${widest} head)
# The passed column as wide as "CASES/CASES".
string(LENGTH "${cases}/${cases}" count_width)
if(count_width LESS 6)
  set(count_width 6)
endif()
padded("passed" ${count_width} passed_head)
set(lines "${head}  built  ${passed_head}  score\n")
foreach(i RANGE ${last_student})
  name_of("${student_${i}_0}" shown)
  set(row "no;0;0;0;0")
  if(EXISTS "${work_root}/state/${i}/row")
    file(READ "${work_root}/state/${i}/row" row)
  endif()
  string(REGEX MATCH "^([a-z]+);([0-9]+);([0-9]+);([0-9]+);([0-9]+)$" fields "${row}")
  set(built ${CMAKE_MATCH_1})
  set(passed ${CMAKE_MATCH_2})
  set(failed ${CMAKE_MATCH_3})
  set(skipped ${CMAKE_MATCH_4})
  set(cases ${CMAKE_MATCH_5})
  class_csv_row("${shown}" ${built} ${passed} ${failed} ${skipped} ${cases} row)
  string(APPEND csv "${row}\n")
  string(REGEX REPLACE ".*," "" score "${row}")
  padded("${shown}" ${widest} name)
  padded("${built}" 5 built)
  padded("${passed}/${cases}" ${count_width} passed)
  string(APPEND lines "${name}  ${built}  ${passed}  ${score}\n")
endforeach()
file(WRITE "${reports}/class.csv" "${csv}")
if(NOT sealed)
  set(unsealed ", graded unsealed: each ran with the grader's rights")
endif()
set(drawn "")
if(DEFINED SEED)
  set(drawn ", on cases drawn with seed ${SEED} (cases/)")
endif()
file(WRITE "${reports}/class.txt" "${program}: ${total} students${unsealed}${drawn}\n\n${lines}")
file(REMOVE_RECURSE "${work_root}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E echo_append "${lines}")
