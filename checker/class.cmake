# Who is a student in a folder of submissions, and what each handed in, as
# grade.cmake reads them (and the page alike: checker/class.json holds the
# rules as examples that both pass). Included by grade.cmake; needs
# names.cmake.
#
# A student is each folder directly in the folder of submissions, and each .c
# or .cpp file there (named after the file, without its ending); hidden ones
# and __MACOSX are no one's, and a folder and a file of one name are one
# student's. A folder's files at any depth are the student's, hidden ones and
# links left out; its .c and .cpp files are the sources, C for .c, C++ for any
# other ending.

# A source file's ending, whatever its case, as the page takes it.
set(SOURCE_ENDING "\\.([cC]|[cC][pP][pP]|[cC][cC]|[cC][xX][xX])$")

# The student an entry of `submissions` names: a folder's name, or a file's
# without its ending.
function(student_name submissions entry out)
  set(student "${entry}")
  if(NOT IS_DIRECTORY "${submissions}/${entry}")
    string(REGEX REPLACE "\\.[^.]*$" "" student "${entry}")
  endif()
  set(${out} "${student}" PARENT_SCOPE)
endfunction()

# The students in `submissions`, in order of their names' bytes, in the
# caller's scope: how many in `total`; student k's entries (a folder, a file,
# or both) student_k_0, ... (student_k_count of them). A name is never read as
# a list element, where a bracket or a semicolon would change it.
function(class_students submissions)
  folder_entries(GLOB "${submissions}" entry)
  set(order "")
  set(found 0)
  set(i 0)
  while(i LESS entry_count)
    set(entry "${entry_${i}}")
    if(NOT entry MATCHES "^\\." AND NOT entry STREQUAL "__MACOSX"
       AND (IS_DIRECTORY "${submissions}/${entry}" OR entry MATCHES "${SOURCE_ENDING}"))
      set(found_${found} "${entry}")
      student_name("${submissions}" "${entry}" name)
      string(HEX "${name}" hex)
      list(APPEND order "${hex} ${found}") # a space sorts before any digit: "ann" before "ann2"
      math(EXPR found "${found} + 1")
    endif()
    math(EXPR i "${i} + 1")
  endwhile()
  list(SORT order)
  set(total 0)
  set(previous "")
  foreach(item IN LISTS order)
    string(REGEX MATCH "^(.*) ([0-9]+)$" item "${item}")
    set(hex "${CMAKE_MATCH_1}")
    set(i "${CMAKE_MATCH_2}")
    if(total GREATER 0 AND hex STREQUAL previous)
      set(j ${student_${k}_count})
      set(student_${k}_${j} "${found_${i}}")
      math(EXPR student_${k}_count "${j} + 1")
    else()
      set(k ${total})
      set(student_${k}_0 "${found_${i}}")
      set(student_${k}_count 1)
      math(EXPR total "${total} + 1")
    endif()
    set(previous "${hex}")
  endforeach()
  set(total ${total} PARENT_SCOPE)
  set(k 0)
  while(k LESS total)
    set(student_${k}_count ${student_${k}_count} PARENT_SCOPE)
    set(j 0)
    while(j LESS student_${k}_count)
      set(student_${k}_${j} "${student_${k}_${j}}" PARENT_SCOPE)
      math(EXPR j "${j} + 1")
    endwhile()
    math(EXPR k "${k} + 1")
  endwhile()
endfunction()

# What student k (of class_students, in the caller's scope) handed in: each
# file's path relative to `submissions`, as ${prefix}_0, ... (${prefix}_count
# of them), and of those, the sources' numbers in ${prefix}_sources.
function(student_files submissions k prefix)
  set(n 0)
  set(sources "")
  set(j 0)
  while(j LESS student_${k}_count)
    set(entry "${student_${k}_${j}}")
    if(IS_DIRECTORY "${submissions}/${entry}")
      folder_entries(GLOB_RECURSE "${submissions}/${entry}" file)
      set(i 0)
      while(i LESS file_count)
        set(file "${entry}/${file_${i}}")
        if(NOT file MATCHES "(^|/)(\\.|__MACOSX/)" AND NOT IS_SYMLINK "${submissions}/${file}"
           AND NOT IS_DIRECTORY "${submissions}/${file}")
          set(${prefix}_${n} "${file}" PARENT_SCOPE)
          if(file MATCHES "${SOURCE_ENDING}")
            list(APPEND sources ${n})
          endif()
          math(EXPR n "${n} + 1")
        endif()
        math(EXPR i "${i} + 1")
      endwhile()
    elseif(NOT IS_SYMLINK "${submissions}/${entry}")
      set(${prefix}_${n} "${entry}" PARENT_SCOPE)
      list(APPEND sources ${n})
      math(EXPR n "${n} + 1")
    endif()
    math(EXPR j "${j} + 1")
  endwhile()
  set(${prefix}_count ${n} PARENT_SCOPE)
  set(${prefix}_sources "${sources}" PARENT_SCOPE)
endfunction()

# A student's row of class.csv: the name as reports show it (quoted, as CSV
# quotes), built (yes or no), the counts, and the score, the fraction of the
# cases passed to three places, rounded half up.
function(class_csv_row shown built passed failed skipped cases out)
  set(score "0.000")
  if(cases GREATER 0)
    math(EXPR thousandths "(${passed} * 1000 + ${cases} / 2) / ${cases}")
    math(EXPR whole "${thousandths} / 1000")
    math(EXPR part "${thousandths} % 1000 + 1000")
    string(SUBSTRING "${part}" 1 3 part)
    set(score "${whole}.${part}")
  endif()
  string(REPLACE "\"" "\"\"" quoted "${shown}")
  set(${out} "\"${quoted}\",${built},${passed},${failed},${skipped},${cases},${score}" PARENT_SCOPE)
endfunction()

# What a student whose version was not built gets: the report's text in `text`
# (why, then what the compilers said) and a JUnit report written to `junit`,
# one failed testcase, `build`, that says the same.
function(unbuilt_report shown program why said text junit)
  set(${text} "${shown}: ${program} was not built: ${why}\n${said}" PARENT_SCOPE)
  set(cases_xml "")
  junit_case(cases_xml "${shown}.${program}" "build" 0.000 FAIL "${program} was not built: ${why}\n${said}")
  junit_write("${junit}" "${shown}.${program}" 1 1 0 0.000 "${cases_xml}")
endfunction()

# The name of a student's report files, for the name as reports show it
# (`shown`): what a file's name cannot hold written %XX; a name taken already
# (in any case: the variable named `taken_var` holds them, /a/b/..., and gets
# this one) or the
# class's own gets ~2, ~3, ...: one name, one student.
function(report_name shown taken_var out)
  set(name "${shown}")
  string(REPLACE "%" "%25" name "${name}")
  foreach(pair "/;%2F" "\\;%5C" ":;%3A" "*;%2A" "?;%3F" "\";%22" "<;%3C" ">;%3E" "|;%7C")
    string(FIND "${pair}" ";" cut)
    string(SUBSTRING "${pair}" 0 ${cut} character)
    math(EXPR cut "${cut} + 1")
    string(SUBSTRING "${pair}" ${cut} -1 code)
    string(REPLACE "${character}" "${code}" name "${name}")
  endforeach()
  set(unique "${name}")
  set(n 1)
  while(TRUE)
    string(TOLOWER "${unique}" lower)
    string(FIND "${${taken_var}}" "/${lower}/" at)
    if(at LESS 0)
      break()
    endif()
    math(EXPR n "${n} + 1")
    set(unique "${name}~${n}")
  endwhile()
  set(${taken_var} "${${taken_var}}${lower}/" PARENT_SCOPE)
  set(${out} "${unique}" PARENT_SCOPE)
endfunction()
