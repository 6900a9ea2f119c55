# Seals a compile or a run off from everything but what it needs, on Linux,
# with bubblewrap (bwrap): the limits of both, stated here alone, and the one
# command that starts either. Included by check.cmake and grade.cmake.
#
# A sealed process sees the system's programs and libraries, read-only; the
# few paths its caller names (below); /dev's few harmless devices; a /proc of
# its own; an empty /tmp of its own; and nothing else: no home folder, no
# checkout, no cases, no other student, no report, no network, no other
# process. It starts in a session and a PID namespace of its own, without the
# caller's environment, and all it started ends with it or with its caller.

# The limits of a run (one case of a check) and of a compile (one compiler
# or linker call).
set(SEAL_RUN_MEMORY_MIB 256)      # address space of each process
set(SEAL_RUN_PROCESSES 32)        # processes at once, the program's first
set(SEAL_RUN_DISK_MIB 16)         # its folder, and /tmp, each
set(SEAL_COMPILE_SECONDS 60)
set(SEAL_COMPILE_MEMORY_MIB 2048)
set(SEAL_COMPILE_PROCESSES 16)
set(SEAL_COMPILE_DISK_MIB 64)     # /tmp, and each file it writes
set(SEAL_COMPILE_MESSAGES 65536)  # bytes of the compiler's messages kept
# A run's time (-D TIMEOUT) and the size of each file it writes (4 MiB and a
# little: MAX_OUTPUT) are check.cmake's, sealed or not.

# The command that starts a sealed process, as a list of plain words: append
# the program and its arguments (each quoted, never as a list). MEMORY_MIB,
# PROCESSES, DISK_MIB and FILE_BLOCKS (of 512 bytes) are its limits. The paths
# it sees come from the environment, where no list splits them, and go no
# further: SEAL_FOLDER, an empty folder of its own at that path (its current
# folder, unless SEAL_WRITE is set); SEAL_WRITE, a folder it may write in (its
# current folder); SEAL_READ_1, SEAL_READ_2, ..., paths it may read. A program
# ended by a signal ends bubblewrap with 128 and the signal's number:
# seal_status() tells it as CMake tells a signal.
function(seal_command out)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "MEMORY_MIB;PROCESSES;DISK_MIB;FILE_BLOCKS" "")
  math(EXPR memory "${arg_MEMORY_MIB} * 1024")
  math(EXPR disk "${arg_DISK_MIB} * 1048576")
  # The system's programs and libraries, as they are here: words with no space.
  set(system "")
  foreach(path /usr /bin /sbin /lib /lib32 /lib64 /libx32 /etc/alternatives /etc/ld.so.cache)
    if(IS_SYMLINK "${path}")
      file(READ_SYMLINK "${path}" target)
      string(APPEND system " --symlink ${target} ${path}")
    elseif(EXISTS "${path}")
      string(APPEND system " --ro-bind ${path} ${path}")
    endif()
  endforeach()
  set(${out} /bin/sh -c [=[
memory=$1 processes=$2 disk=$3 blocks=$4 system=$5
shift 5
# Inside: the limits, then the program in place of the shell.
set -- -- /bin/sh -c '
ulimit -c 0
ulimit -v "$1" && ulimit -f "$2" && { ulimit -u "$3" || ulimit -p "$3"
} 2>/dev/null || { echo "seal: no limits" >&2
exit 126
}
shift 3
exec "$@"' limits "$memory" "$blocks" "$processes" "$@"
[ -z "${SEAL_WRITE:-}" ] || set -- --chdir "$SEAL_WRITE" "$@"
[ -z "${SEAL_FOLDER:-}" ] || set -- --chdir "$SEAL_FOLDER" "$@"
i=1
while eval "path=\${SEAL_READ_$i:-}"
      [ -n "$path" ]
do
  set -- --ro-bind "$path" "$path" "$@"
  i=$((i + 1))
done
[ -z "${SEAL_WRITE:-}" ] || set -- --bind "$SEAL_WRITE" "$SEAL_WRITE" "$@"
[ -z "${SEAL_FOLDER:-}" ] || set -- --size "$disk" --tmpfs "$SEAL_FOLDER" "$@"
for name in LC_ALL LC_MESSAGES LC_CTYPE LANG UBSAN_OPTIONS
do
  eval "value=\${$name:-}"
  [ -z "$value" ] || set -- --setenv "$name" "$value" "$@"
done
exec bwrap --unshare-all --unshare-user --disable-userns --die-with-parent --new-session \
     --clearenv --setenv PATH /usr/local/bin:/usr/bin:/bin $system --proc /proc --dev /dev \
     --size "$disk" --tmpfs /tmp "$@"]=] seal ${memory} ${arg_PROCESSES} ${disk} ${arg_FILE_BLOCKS} "${system}" PARENT_SCOPE)
endfunction()

# The status of a sealed process as CMake gives a process's own: 128 and a
# signal's number is that signal, in CMake's words for it.
function(seal_status status out)
  set(${out} "${status}" PARENT_SCOPE)
  if(status MATCHES "^[0-9]+$" AND status GREATER 128 AND status LESS_EQUAL 192)
    math(EXPR signal "${status} - 128")
    execute_process(COMMAND /bin/sh -c "kill -${signal} \$\$" RESULT_VARIABLE words)
    if(NOT words MATCHES "^[0-9]+$")
      set(${out} "${words}" PARENT_SCOPE)
    endif()
  endif()
endfunction()

# Whether compiles and runs can be sealed here: sets `out` to "" when they
# can, else to why not.
function(seal_unavailable out)
  set(${out} "" PARENT_SCOPE)
  if(NOT CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
    set(${out} "bubblewrap, which seals each compile and run, works on Linux only" PARENT_SCOPE)
    return()
  endif()
  find_program(bwrap NAMES bwrap NO_CACHE)
  if(NOT bwrap)
    set(${out} "bubblewrap (bwrap), which seals each compile and run, is not installed" PARENT_SCOPE)
    return()
  endif()
  seal_command(sealed MEMORY_MIB 64 PROCESSES 4 DISK_MIB 1 FILE_BLOCKS 8)
  unset(ENV{SEAL_FOLDER})
  unset(ENV{SEAL_WRITE})
  unset(ENV{SEAL_READ_1})
  execute_process(COMMAND ${sealed} /bin/true RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE said
                  TIMEOUT 30)
  if(NOT status EQUAL 0)
    string(STRIP "${said}" said)
    set(${out} "bubblewrap cannot make a sandbox here (${said}): unprivileged user namespaces may be off" PARENT_SCOPE)
  endif()
endfunction()
