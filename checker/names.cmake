# Names exactly as given. A path or a file's name may hold a semicolon or a
# lone bracket, which split or join the elements of a CMake list, and [, ], *
# or ?, which file(GLOB) reads as wildcards: here no name is ever read as a
# list element or as a pattern. Included by check.cmake and grade.cmake.

# The script's own arguments, those after `-P SCRIPT`, each as given: the first
# three as word0, word1 and word2 ("" when missing), and how many there are in
# `count`, all in the caller's scope.
function(script_words)
  set(count 0)
  set(after "")
  foreach(i RANGE 2)
    set(word${i} "" PARENT_SCOPE)
  endforeach()
  math(EXPR last "${CMAKE_ARGC} - 1")
  foreach(i RANGE ${last})
    if(after STREQUAL "" AND CMAKE_ARGV${i} STREQUAL "-P")
      math(EXPR after "${i} + 2")
    elseif(NOT after STREQUAL "" AND i GREATER_EQUAL after)
      if(count LESS 3)
        set(word${count} "${CMAKE_ARGV${i}}" PARENT_SCOPE)
      endif()
      math(EXPR count "${count} + 1")
    endif()
  endforeach()
  set(count ${count} PARENT_SCOPE)
endfunction()

# What is in `folder`: with GLOB its entries, with GLOB_RECURSE every file under
# it (and every link, followed by none); each relative to it, in the order of
# their bytes, as ${prefix}_0, ${prefix}_1, ... in the caller's scope, and their
# number as ${prefix}_count. The folders are listed one at a time, each
# listing split at each semicolon by hand, the pieces joined again until they
# name what is there, and a backslash that the listing wrote as a slash
# written back.
function(folder_entries how folder prefix)
  set(n 0)
  set(order "")
  set(dir_0 "")
  set(dirs 1)
  set(d 0)
  while(d LESS dirs)
    set(base "${dir_${d}}")
    math(EXPR d "${d} + 1")
    string(REGEX REPLACE "([][*?])" "[\\1]" pattern "${folder}/${base}")
    file(GLOB listing LIST_DIRECTORIES true RELATIVE "${folder}/${base}" "${pattern}*")
    set(rest "${listing}")
    set(piece "")
    while(NOT rest STREQUAL "")
      string(FIND "${rest}" ";" end)
      if(end LESS 0)
        set(part "${rest}")
        set(rest "")
      else()
        string(SUBSTRING "${rest}" 0 ${end} part)
        math(EXPR end "${end} + 1")
        string(SUBSTRING "${rest}" ${end} -1 rest)
      endif()
      string(REPLACE "/" "\\" part "${part}")
      if(piece STREQUAL "")
        set(piece "${part}")
      else()
        set(piece "${piece};${part}")
      endif()
      set(path "${base}${piece}")
      if(EXISTS "${folder}/${path}" OR IS_SYMLINK "${folder}/${path}" OR rest STREQUAL "")
        if(NOT EXISTS "${folder}/${path}" AND NOT IS_SYMLINK "${folder}/${path}")
        elseif(how STREQUAL "GLOB_RECURSE" AND IS_DIRECTORY "${folder}/${path}"
               AND NOT IS_SYMLINK "${folder}/${path}")
          set(dir_${dirs} "${path}/")
          math(EXPR dirs "${dirs} + 1")
        else()
          set(entry_${n} "${path}")
          string(HEX "${path}" hex)
          list(APPEND order "${hex} ${n}")
          math(EXPR n "${n} + 1")
        endif()
        set(piece "")
      endif()
    endwhile()
    if(how STREQUAL "GLOB")
      break()
    endif()
  endwhile()
  list(SORT order)
  set(i 0)
  foreach(item IN LISTS order)
    string(REGEX MATCH "[0-9]+$" k "${item}")
    set(${prefix}_${i} "${entry_${k}}" PARENT_SCOPE)
    math(EXPR i "${i} + 1")
  endforeach()
  set(${prefix}_count ${n} PARENT_SCOPE)
endfunction()

# The cases in `folder` (one of checker/cases/PROGRAM/KIND): the name of each
# NAME.out, as the list `out` in the caller's scope. The project names its cases
# without semicolons.
function(case_names folder out)
  folder_entries(GLOB "${folder}" file)
  set(names "")
  set(i 0)
  while(i LESS file_count)
    if(file_${i} MATCHES "^(.+)\\.out$")
      list(APPEND names "${CMAKE_MATCH_1}")
    endif()
    math(EXPR i "${i} + 1")
  endwhile()
  set(${out} "${names}" PARENT_SCOPE)
endfunction()
