# What the checker says of a case: the bytes a program wrote, compared with
# the bytes a case expects, and the report of the first difference, as text
# and as JUnit XML. Included by check.cmake; every function takes what it uses
# as arguments. checker/rules.json holds the rules as examples (bytes
# in, report lines out), which any other implementation must also pass.
#
# Bytes are kept as hexadecimal, a space before each byte (" 41 0a" for
# "A\n"): file(READ) alone would drop the CR of a CRLF and stop at a NUL, and
# this way each byte stays in step with the next.

# Bytes with a meaning of their own, as they stand in that form.
set(NEWLINE 0a)
set(CARRIAGE_RETURN 0d)
set(TAB 09)
set(BACKSLASH 5c)
# Bytes and code points, as numbers.
set(FIRST_PRINTABLE 0x20)      # below it, control characters
set(DELETE 0x7f)               # a control character too
set(FIRST_LEAD 0xc2)           # the lowest first byte of a UTF-8 character of two or more bytes
set(FIRST_LEAD_OF_THREE 0xe0)
set(FIRST_LEAD_OF_FOUR 0xf0)
set(PAST_LAST_LEAD 0xf5)       # from here on, no byte starts a UTF-8 character
set(SURROGATE_FIRST 0xd800)    # not characters: UTF-8 never encodes them
set(SURROGATE_LAST 0xdfff)
set(NONCHARACTER_FIRST 0xfffe) # not characters either, nor allowed in XML
set(LAST_CODE_POINT 0x10ffff)
foreach(name FIRST_PRINTABLE DELETE FIRST_LEAD FIRST_LEAD_OF_THREE FIRST_LEAD_OF_FOUR PAST_LAST_LEAD
        SURROGATE_FIRST SURROGATE_LAST NONCHARACTER_FIRST LAST_CODE_POINT)
  math(EXPR ${name} "${${name}}") # as a decimal number, which if() compares
endforeach()
# Characters that are hard to see or to tell from another: C1 controls, spaces
# that look like none or like an ordinary one, zero-width, joining and direction
# marks, the byte order mark, variation selectors and fillers.
set(INVISIBLE_RANGES 0x80-0xa0 0xad-0xad 0x034f-0x034f 0x061c-0x061c 0x115f-0x1160 0x1680-0x1680
    0x180e-0x180e 0x2000-0x200f 0x2028-0x202f 0x205f-0x206f 0x3000-0x3000 0x3164-0x3164
    0xfe00-0xfe0f 0xfeff-0xfeff 0xffa0-0xffa0 0xfff0-0xfffb 0xe0000-0xe0fff)
# Characters that take two columns on a terminal: Hangul jamo, CJK and the
# scripts around it, Hangul syllables, CJK compatibility, full-width forms,
# emoji, and the supplementary ideographs.
set(WIDE_RANGES 0x1100-0x115f 0x2e80-0x303e 0x3040-0xa4cf 0xac00-0xd7a3 0xf900-0xfaff
    0xfe30-0xfe4f 0xff00-0xff60 0xffe0-0xffe6 0x1f300-0x1f64f 0x1f680-0x1f6ff 0x1f900-0x1f9ff
    0x1fa70-0x1faff 0x20000-0x3fffd)
# Combining marks: they take no column of their own.
set(COMBINING_RANGES 0x0300-0x036f 0x0483-0x0489 0x0591-0x05bd 0x0610-0x061a 0x064b-0x065f
    0x1ab0-0x1aff 0x1dc0-0x1dff 0x20d0-0x20ff 0xfe20-0xfe2f)
# Each range as two decimal numbers, "low;high" pairs in one list, which if() compares.
foreach(name INVISIBLE_RANGES WIDE_RANGES COMBINING_RANGES)
  set(numbers "")
  foreach(range IN LISTS ${name})
    string(REPLACE "-" ";" ends "${range}")
    list(GET ends 0 low)
    list(GET ends 1 high)
    math(EXPR low "${low}")
    math(EXPR high "${high}")
    list(APPEND numbers ${low} ${high})
  endforeach()
  set(${name} "${numbers}")
endforeach()
# A long line is shown around its first difference: from this many bytes
# before it (when it lies further in than CUT_AFTER bytes) to this many after.
set(SHOWN_BEFORE 30)
set(CUT_AFTER 40)
set(SHOWN_AFTER 40)
# What stands for the part of a line left out, outside its quotes.
set(LEFT_OUT "...")
# A line of standard error is shown up to this many bytes, and this many lines.
set(STDERR_SHOWN 80)
set(STDERR_LINES 3)
set(STDERR_READ 65536) # the lines are looked for in this many bytes
# A long text is made visible this many bytes at a time: visible() takes time
# that grows with the square of what it is given.
set(CHUNK 256)

# Reads a file as bytes.
function(read_bytes file out)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# The bytes of a text.
function(text_bytes text out)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# Text a user gave (a path, a name) as a report shows it: what cannot be seen
# made visible, and only its last 160 bytes when it is longer.
function(shown_text text out)
  string(LENGTH "${text}" length)
  if(length LESS_EQUAL 160 AND text MATCHES "^[ -~]*$") # printable ASCII, shown as it is
    set(${out} "${text}" PARENT_SCOPE)
    return()
  endif()
  text_bytes("${text}" bytes)
  byte_count("${bytes}" count)
  set(head "")
  if(count GREATER 160)
    math(EXPR from "${count} - 160")
    character_start("${bytes}" ${from} from)
    byte_range("${bytes}" ${from} -1 bytes)
    set(head "${LEFT_OUT}")
  endif()
  visible("${bytes}" shown ignored)
  string(REPLACE "\\\\" "\\" shown "${shown}") # a path's backslash, as typed
  set(${out} "${head}${shown}" PARENT_SCOPE)
endfunction()

# How many bytes there are.
function(byte_count bytes out)
  string(LENGTH "${bytes}" length)
  math(EXPR count "${length} / 3")
  set(${out} ${count} PARENT_SCOPE)
endfunction()

# Bytes `from` up to `to` (a count, or -1 for the end).
function(byte_range bytes from to out)
  math(EXPR start "${from} * 3")
  if(to LESS 0)
    string(SUBSTRING "${bytes}" ${start} -1 part)
  else()
    math(EXPR length "(${to} - ${from}) * 3")
    string(SUBSTRING "${bytes}" ${start} ${length} part)
  endif()
  set(${out} "${part}" PARENT_SCOPE)
endfunction()

# The text of bytes `first` to `last` of `hexes` (a list of two-digit bytes).
function(hexes_text hexes first last out)
  set(text "")
  foreach(j RANGE ${first} ${last})
    list(GET hexes ${j} byte)
    math(EXPR byte "0x${byte}")
    string(ASCII ${byte} character)
    string(APPEND text "${character}")
  endforeach()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The code point of a well-formed UTF-8 character starting at `hexes[i]` (a
# list of two-digit bytes), and its length; -1 when the bytes there are not
# one: a lone or missing continuation byte, a longer form than needed, a
# surrogate, or beyond the last code point.
function(utf8_character hexes i count point_out length_out)
  set(${point_out} -1 PARENT_SCOPE)
  set(${length_out} 1 PARENT_SCOPE)
  list(GET hexes ${i} lead)
  math(EXPR lead "0x${lead}")
  if(lead LESS FIRST_LEAD OR lead GREATER_EQUAL PAST_LAST_LEAD)
    return()
  endif()
  set(length 2)
  set(least 0x80)
  if(lead GREATER_EQUAL FIRST_LEAD_OF_FOUR)
    set(length 4)
    set(least 0x10000)
  elseif(lead GREATER_EQUAL FIRST_LEAD_OF_THREE)
    set(length 3)
    set(least 0x800)
  endif()
  math(EXPR last "${i} + ${length} - 1")
  if(last GREATER_EQUAL count)
    return()
  endif()
  math(EXPR point "${lead} & (0x7f >> ${length})")
  math(EXPR first "${i} + 1")
  foreach(j RANGE ${first} ${last})
    list(GET hexes ${j} next)
    math(EXPR next "0x${next}")
    if(NOT (next GREATER_EQUAL 0x80 AND next LESS 0xc0))
      return()
    endif()
    math(EXPR point "(${point} << 6) | (${next} & 0x3f)")
  endforeach()
  if(point LESS least OR point GREATER LAST_CODE_POINT
     OR (point GREATER_EQUAL SURROGATE_FIRST AND point LESS_EQUAL SURROGATE_LAST))
    return()
  endif()
  set(${point_out} ${point} PARENT_SCOPE)
  set(${length_out} ${length} PARENT_SCOPE)
endfunction()

# True when `point` lies in one of the ranges (a "low;high;low;high..." list).
function(in_ranges point ranges out)
  set(${out} FALSE PARENT_SCOPE)
  list(LENGTH ranges count)
  set(i 0)
  while(i LESS count)
    list(GET ranges ${i} low)
    math(EXPR i "${i} + 1")
    list(GET ranges ${i} high)
    math(EXPR i "${i} + 1")
    if(point GREATER_EQUAL low AND point LESS_EQUAL high)
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
  endwhile()
endfunction()

# True when a character would be hard to see or to tell from another (the
# INVISIBLE_RANGES and the noncharacters). Such a character is shown as its bytes.
function(is_invisible point out)
  in_ranges(${point} "${INVISIBLE_RANGES}" hidden)
  math(EXPR plane_end "${point} & 0xffff")
  if(plane_end GREATER_EQUAL NONCHARACTER_FIRST)
    set(hidden TRUE)
  endif()
  set(${out} ${hidden} PARENT_SCOPE)
endfunction()

# The columns a character takes on a terminal: 2, 1 or, for a combining mark, 0.
function(columns_of point out)
  in_ranges(${point} "${WIDE_RANGES}" wide)
  in_ranges(${point} "${COMBINING_RANGES}" combining)
  if(wide)
    set(${out} 2 PARENT_SCOPE)
  elseif(combining)
    set(${out} 0 PARENT_SCOPE)
  else()
    set(${out} 1 PARENT_SCOPE)
  endif()
endfunction()

# Shows bytes as text, with what cannot be seen made visible: a newline as \n
# (so a missing one shows), a carriage return as \r, a tab as \t, a backslash
# as \\, and every other control character, invisible character or byte that
# is not UTF-8 as \xHH for each of its bytes. Other UTF-8 text stays as it is.
# Sets `width` to the columns the text takes on a terminal (a Chinese
# character takes two).
function(visible bytes out width)
  set(text "")
  set(columns 0)
  string(REGEX MATCHALL "[0-9a-f][0-9a-f]" hexes "${bytes}")
  list(LENGTH hexes count)
  set(i 0)
  while(i LESS count)
    list(GET hexes ${i} hex)
    math(EXPR code "0x${hex}")
    utf8_character("${hexes}" ${i} ${count} point length)
    if(point GREATER_EQUAL 0)
      is_invisible(${point} hidden)
      if(NOT hidden)
        math(EXPR last "${i} + ${length} - 1")
        hexes_text("${hexes}" ${i} ${last} char)
        string(APPEND text "${char}")
        columns_of(${point} wide)
        math(EXPR columns "${columns} + ${wide}")
        math(EXPR i "${i} + ${length}")
        continue()
      endif()
      set(shown "")
      math(EXPR last "${i} + ${length} - 1")
      foreach(j RANGE ${i} ${last})
        list(GET hexes ${j} byte)
        string(APPEND shown "\\x${byte}")
      endforeach()
      math(EXPR i "${i} + ${length}")
    else()
      if(hex STREQUAL NEWLINE)
        set(shown "\\n")
      elseif(hex STREQUAL CARRIAGE_RETURN)
        set(shown "\\r")
      elseif(hex STREQUAL TAB)
        set(shown "\\t")
      elseif(hex STREQUAL BACKSLASH)
        set(shown "\\\\")
      elseif(code LESS FIRST_PRINTABLE OR code GREATER_EQUAL DELETE)
        set(shown "\\x${hex}")
      else()
        string(ASCII ${code} shown)
      endif()
      math(EXPR i "${i} + 1")
    endif()
    string(LENGTH "${shown}" n)
    math(EXPR columns "${columns} + ${n}")
    string(APPEND text "${shown}")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
  set(${width} ${columns} PARENT_SCOPE)
endfunction()

# The columns `bytes` take once made visible, as visible() counts them, in time
# that grows with their length: printable ASCII at once, the rest CHUNK bytes at
# a time, each cut on the start of a character.
function(shown_width bytes out)
  byte_count("${bytes}" count)
  if(NOT bytes MATCHES " ([01][0-9a-f]|5c|7f|[89a-f][0-9a-f])")
    set(${out} ${count} PARENT_SCOPE)
    return()
  endif()
  set(width 0)
  set(from 0)
  while(from LESS count)
    math(EXPR to "${from} + ${CHUNK}")
    if(to GREATER_EQUAL count)
      set(to ${count})
    else()
      character_start("${bytes}" ${to} to)
    endif()
    byte_range("${bytes}" ${from} ${to} part)
    visible("${part}" ignored part_width)
    math(EXPR width "${width} + ${part_width}")
    set(from ${to})
  endwhile()
  set(${out} ${width} PARENT_SCOPE)
endfunction()

# The line (with its newline, if it has one) of `bytes` that holds byte `at`,
# and where in it that byte is.
function(line_at bytes at out offset)
  math(EXPR chars "${at} * 3")
  string(SUBSTRING "${bytes}" 0 ${chars} before)
  string(FIND "${before}" " ${NEWLINE}" start REVERSE)
  if(start LESS 0)
    set(start 0)
  else()
    math(EXPR start "${start} + 3")
  endif()
  string(SUBSTRING "${bytes}" ${start} -1 rest)
  string(FIND "${rest}" " ${NEWLINE}" end)
  if(end GREATER_EQUAL 0)
    math(EXPR end "${end} + 3")
  endif()
  string(SUBSTRING "${rest}" 0 ${end} line)
  math(EXPR within "(${chars} - ${start}) / 3")
  set(${out} "${line}" PARENT_SCOPE)
  set(${offset} ${within} PARENT_SCOPE)
endfunction()

# True when byte `at` of `bytes` continues a UTF-8 character (0x80 to 0xbf).
function(is_continuation bytes at out)
  math(EXPR chars "${at} * 3")
  string(SUBSTRING "${bytes} 00" ${chars} 3 byte)
  if(byte MATCHES "^ [89ab]")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# `at`, or the first byte after it that starts a character: not a UTF-8
# continuation byte.
function(character_start bytes at out)
  is_continuation("${bytes}" ${at} inside)
  while(inside)
    math(EXPR at "${at} + 1")
    is_continuation("${bytes}" ${at} inside)
  endwhile()
  set(${out} ${at} PARENT_SCOPE)
endfunction()

# A line shown from byte `from` to about byte `to`, moved on to the start of a
# character: quoted, with LEFT_OUT outside the quotes where a part is left out.
function(shown_line line from to out)
  if(line STREQUAL "")
    set(${out} "(nothing: the output ends before this line)" PARENT_SCOPE)
    return()
  endif()
  byte_count("${line}" count)
  set(tail "")
  if(to LESS count)
    is_continuation("${line}" ${to} inside)
    while(inside AND to LESS count)
      math(EXPR to "${to} + 1")
      is_continuation("${line}" ${to} inside)
    endwhile()
  endif()
  if(to LESS count)
    set(tail "${LEFT_OUT}")
  else()
    set(to ${count})
  endif()
  set(head "")
  if(from GREATER 0)
    set(head "${LEFT_OUT}")
  endif()
  byte_range("${line}" ${from} ${to} part)
  visible("${part}" text ignored)
  set(${out} "${head}\"${text}\"${tail}" PARENT_SCOPE)
endfunction()

# An account of the first line where `actual` differs from `expected` (both
# as bytes), or nothing when they are the same: the line and column, both
# lines, and a mark under the first difference. A long line is shown around
# that difference.
function(difference what expected actual out)
  set(${out} "" PARENT_SCOPE)
  if(actual STREQUAL expected)
    return()
  endif()
  # The longest common start, in bytes, by halving: the first difference is
  # the byte after it.
  byte_count("${expected}" count_e)
  byte_count("${actual}" count_a)
  set(low 0)
  set(high ${count_e})
  if(count_a LESS count_e)
    set(high ${count_a})
  endif()
  while(low LESS high)
    math(EXPR mid "(${low} + ${high} + 1) / 2")
    byte_range("${expected}" 0 ${mid} e)
    byte_range("${actual}" 0 ${mid} a)
    if(e STREQUAL a)
      set(low ${mid})
    else()
      math(EXPR high "${mid} - 1")
    endif()
  endwhile()
  # Back to the start of a UTF-8 character, so that the mark goes under it.
  while(low GREATER 0)
    is_continuation("${expected}" ${low} inside_e)
    is_continuation("${actual}" ${low} inside_a)
    if(NOT inside_e AND NOT inside_a)
      break()
    endif()
    math(EXPR low "${low} - 1")
  endwhile()
  byte_range("${expected}" 0 ${low} same)
  string(REGEX MATCHALL " ${NEWLINE}" newlines "${same}")
  list(LENGTH newlines line)
  math(EXPR line "${line} + 1")
  line_at("${expected}" ${low} e at)
  line_at("${actual}" ${low} a ignored)

  byte_range("${e}" 0 ${at} lead)
  shown_width("${lead}" lead_width)
  math(EXPR column "${lead_width} + 1")
  # Where the shown part of a long line starts: SHOWN_BEFORE bytes before the
  # difference, moved on to the start of a character.
  set(from 0)
  if(at GREATER CUT_AFTER)
    math(EXPR from "${at} - ${SHOWN_BEFORE}")
    character_start("${e}" ${from} from)
  endif()
  math(EXPR to "${at} + ${SHOWN_AFTER}")
  shown_line("${e}" ${from} ${to} shown_e)
  shown_line("${a}" ${from} ${to} shown_a)
  set(indent ${lead_width})
  if(from GREATER 0)
    byte_range("${e}" ${from} ${at} lead)
    shown_width("${lead}" indent)
    string(LENGTH "${LEFT_OUT}" extra)
    math(EXPR indent "${indent} + ${extra}")
  endif()
  string(REPEAT " " ${indent} pad)
  string(CONCAT account "${what} differs at line ${line}, column ${column}:\n"
         "    expected ${shown_e}\n    actual   ${shown_a}\n              ${pad}^")
  set(${out} "${account}" PARENT_SCOPE)
endfunction()

# The first STDERR_LINES lines of what a program wrote on standard error, each
# cut after STDERR_SHOWN bytes, shown as the report shows text, then "..." if it
# wrote more. The lines are looked for in the first STDERR_READ bytes.
function(first_lines bytes out)
  set(shown "")
  set(beyond "")
  string(LENGTH "${bytes}" length)
  math(EXPR chars "${STDERR_READ} * 3")
  if(length GREATER chars)
    string(SUBSTRING "${bytes}" ${chars} -1 beyond)
    string(SUBSTRING "${bytes}" 0 ${chars} bytes)
  endif()
  foreach(n RANGE 1 ${STDERR_LINES})
    if(bytes STREQUAL "")
      break()
    endif()
    string(FIND "${bytes}" " ${NEWLINE}" end)
    if(end LESS 0)
      set(line "${bytes}")
      set(bytes "")
    else()
      math(EXPR end "${end} + 3")
      string(SUBSTRING "${bytes}" 0 ${end} line)
      string(SUBSTRING "${bytes}" ${end} -1 bytes)
    endif()
    shown_line("${line}" 0 ${STDERR_SHOWN} line)
    string(APPEND shown "\n    stderr   ${line}")
  endforeach()
  if(NOT bytes STREQUAL "" OR NOT beyond STREQUAL "")
    string(APPEND shown "\n    stderr   ...")
  endif()
  set(${out} "${shown}" PARENT_SCOPE)
endfunction()

# Undefined behaviour and crashes, as the sanitizer of g++ and clang++ reports
# its first finding on standard error: what it found, in a student's words,
# the first key found in what it said deciding (lists of keys, then words).
set(CAUSES
  "signed integer overflow|signed integer addition|signed integer subtraction|signed integer multiplication|negation of|signed integer negation"
  "undefined behaviour: a signed integer overflowed: its value does not fit in its type"
  "division by zero|division of|integer divide or remainder|divide by zero|integer overflow"
  "undefined behaviour: an integer division by zero, or of the lowest value by -1"
  "shift exponent|shift of negative|left shift of|shift out of bounds"
  "undefined behaviour: a shift by a negative amount or by the width of its type or more, or of a negative value"
  "null pointer|misaligned address|insufficient space|alignment, null, or object-size"
  "undefined behaviour: a pointer used that is null or does not point to an object of its type"
  "out of bounds for type|array index out of bounds"
  "undefined behaviour: an array index out of bounds"
  "end of a value-returning function"
  "undefined behaviour: a function that returns a value ended without a return"
  "unreachable program point"
  "undefined behaviour: code that must never be reached was reached"
  "not a valid value for type|load of invalid value"
  "undefined behaviour: a bool or enum holds a value it cannot have (was it ever given one?)"
  "pointer index expression|applying non-zero offset|applying zero offset|unsigned offset|pointer overflow"
  "undefined behaviour: pointer arithmetic out of the memory it points into"
  "variable length array bound"
  "undefined behaviour: an array's length is not positive"
  "outside the range of representable values|floating-point to integer|float unrepresentable"
  "undefined behaviour: a floating-point value too large for the integer it is converted to"
  "function signature mismatch|incorrect function type|null function|table index is out of bounds"
  "undefined behaviour: a call through a null or wrong function pointer"
  "stack-overflow|maximum call stack size exceeded"
  "crashed: the stack ran out (calls nested too deep: a recursion that never ends?)"
  "segv on unknown address|memory access out of bounds"
  "crashed: a read or write outside the program's memory")
set(FRAMES_SHOWN 5)

# The first finding a sanitizer reported in `bytes` (standard error), as the
# report tells it: what it found, then where, the calls that led there,
# innermost first, the program's own; nothing when there is none. Looked for
# in the first STDERR_READ bytes, as ASCII.
function(fault bytes out)
  set(${out} "" PARENT_SCOPE)
  text_bytes(": runtime error: " marks)
  string(FIND "${bytes}" "${marks}" at)
  if(at LESS 0)
    text_bytes("==ERROR: " marks)
    string(FIND "${bytes}" "${marks}" at)
  endif()
  math(EXPR chars "${STDERR_READ} * 3")
  if(at LESS 0 OR at GREATER_EQUAL chars)
    return()
  endif()
  # From the start of its line, at most 4 KiB, made text.
  math(EXPR byte "${at} / 3")
  line_at("${bytes}" ${byte} line offset)
  math(EXPR start "(${byte} - ${offset}) * 3")
  string(SUBSTRING "${bytes}" ${start} 12288 part)
  string(REGEX MATCHALL "[0-9a-f][0-9a-f]" hexes "${part}")
  set(text "")
  foreach(hex IN LISTS hexes)
    math(EXPR code "0x${hex}")
    if(code EQUAL 10)
      string(APPEND text "\n")
    elseif(code LESS 32 OR code GREATER 126 OR code EQUAL 59 OR code EQUAL 91 OR code EQUAL 93 OR code EQUAL 92)
      string(APPEND text "?") # nothing that would end a list or need escaping
    else()
      string(ASCII ${code} character)
      string(APPEND text "${character}")
    endif()
  endforeach()
  string(REPLACE "\n" ";" lines "${text}")
  list(POP_FRONT lines first)
  if(first MATCHES "^(.*):([0-9]+):[0-9]+: runtime error: (.*)$")
    set(file "${CMAKE_MATCH_1}")
    set(line "${CMAKE_MATCH_2}")
    set(said "${CMAKE_MATCH_3}")
  elseif(first MATCHES "^==[0-9]+==ERROR: (UndefinedBehaviorSanitizer: )?([^(]*)")
    set(file "")
    set(said "${CMAKE_MATCH_2}")
  else()
    return()
  endif()
  string(STRIP "${said}" said)
  string(TOLOWER "${said}" lower)
  set(words "undefined behaviour: ${said}")
  set(causes ${CAUSES})
  while(causes)
    list(POP_FRONT causes keys cause)
    string(REPLACE "|" ";" keys "${keys}")
    foreach(key IN LISTS keys)
      string(FIND "${lower}" "${key}" found)
      if(found GREATER_EQUAL 0)
        set(words "${cause}")
        set(causes "")
        break()
      endif()
    endforeach()
  endwhile()
  set(frames "")
  set(previous "")
  set(count 0)
  foreach(line_text IN LISTS lines)
    if(NOT line_text MATCHES "^ *#[0-9]+ 0x[0-9a-f]+ in (.+) ([^ ]+)$")
      break()
    endif()
    set(name "${CMAKE_MATCH_1}")
    set(where "${CMAKE_MATCH_2}")
    if(NOT where MATCHES "^(.*):([0-9]+):[0-9]+$")
      string(REGEX MATCH "^(.*):([0-9]+)$" where "${where}")
    endif()
    if(NOT where STREQUAL "")
      set(path "${CMAKE_MATCH_1}")
      set(number "${CMAKE_MATCH_2}")
      if(path MATCHES "^(/usr/|[.][.]/|csu/)" OR name MATCHES "^(_start|__libc_start)")
        continue()
      endif()
      string(REGEX REPLACE "^.*[/\\]" "" path "${path}")
      set(shown "${name}, at ${path} line ${number}")
      if(NOT shown STREQUAL previous AND count LESS FRAMES_SHOWN) # a recursion is shown once
        list(APPEND frames "${shown}")
        set(previous "${shown}")
        math(EXPR count "${count} + 1")
      endif()
    endif()
  endforeach()
  if(frames STREQUAL "" AND NOT file STREQUAL "")
    string(REGEX REPLACE "^.*[/\\]" "" file "${file}")
    string(APPEND words "\n    at       ${file} line ${line}")
  endif()
  set(label "in      ")
  foreach(shown IN LISTS frames)
    string(APPEND words "\n    ${label} ${shown}")
    set(label "from    ")
  endforeach()
  set(${out} "${words}" PARENT_SCOPE)
endfunction()

# Judges what a program did against what a case expects: standard output and
# error as bytes, the exit status (a number, of which only the low eight bits
# count, as a process reports it, or the system's words for an abnormal end),
# and the most bytes a program may write on each stream ("" for no limit).
# Sets `report` to nothing when they agree, else to the report, in this order:
# the limits, the exit status, then standard output, then standard error (or,
# when the status is wrong or the output ends early, the first lines of what
# was written there).
function(judge expected_out expected_err expected_status out err status limit report)
  byte_count("${out}" out_count)
  byte_count("${err}" err_count)
  over_limit(${out_count} ${err_count} "${limit}" problem)
  if(NOT problem STREQUAL "")
    set(${report} "${problem}" PARENT_SCOPE)
    return()
  endif()
  fault("${err}" problem)
  if(NOT problem STREQUAL "")
    set(${report} "${problem}" PARENT_SCOPE)
    return()
  endif()
  if(NOT status MATCHES "^-?[0-9]+$")
    first_lines("${err}" lines)
    set(${report} "ended abnormally: ${status}${lines}" PARENT_SCOPE)
    return()
  endif()
  math(EXPR status "${status} & 255")
  difference("standard output" "${expected_out}" "${out}" problem)
  if(NOT status EQUAL expected_status)
    first_lines("${err}" lines)
    if(NOT problem STREQUAL "")
      string(PREPEND lines "\n    ${problem}")
    endif()
    set(problem "exit status ${status}, expected ${expected_status}${lines}")
  elseif(problem MATCHES "\n    actual   \\(nothing" AND NOT err STREQUAL "" AND expected_err STREQUAL "")
    first_lines("${err}" lines)
    string(APPEND problem "${lines}")
  elseif(problem STREQUAL "")
    difference("standard error" "${expected_err}" "${err}" problem)
  endif()
  set(${report} "${problem}" PARENT_SCOPE)
endfunction()

# Whether a program wrote more bytes than `limit` ("" for no limit) on
# standard output (`out_count` bytes) or standard error: the report, or nothing.
function(over_limit out_count err_count limit report)
  set(${report} "" PARENT_SCOPE)
  if(limit STREQUAL "")
    return()
  elseif(out_count GREATER limit)
    set(${report} "wrote more than ${limit} bytes on standard output" PARENT_SCOPE)
  elseif(err_count GREATER limit)
    set(${report} "wrote more than ${limit} bytes on standard error" PARENT_SCOPE)
  endif()
endfunction()

# The bytes a case expects, with each {argv0} in them replaced by the bytes of
# `name`, the name the program was started by.
function(with_argv0 bytes name out)
  text_bytes("${name}" name_bytes)
  text_bytes("{argv0}" placeholder)
  string(REPLACE "${placeholder}" "${name_bytes}" bytes "${bytes}")
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# What makes two failures the same fault: the same report, but for the case's
# input and command.
function(failure_key report out)
  string(REGEX REPLACE "\n    (input|run|note) +[^\n]*" "" key "${report}")
  string(SHA1 key "${key}")
  set(${out} "${key}" PARENT_SCOPE)
endfunction()

# A check of many cases, one case at a time. `state` names the variables
# that hold the counts so far (${state}_passed, _failed), the case that did not
# finish (_hung) and the failures met, each as key=label (_keys).
# check_start() empties them; check_next() takes a case's result, its label,
# its report ("" for a pass) and whether it did not finish within `timeout`
# seconds (its report then holds only the lines that say how to run it), and
# sets `out` to the lines to print; check_end() takes how many cases were left
# unrun and sets `out` to the last lines, the summary last.
function(check_start state)
  set(${state}_passed 0 PARENT_SCOPE)
  set(${state}_failed 0 PARENT_SCOPE)
  set(${state}_hung "" PARENT_SCOPE)
  set(${state}_keys "" PARENT_SCOPE)
endfunction()
function(check_next state label report hung timeout out)
  if(report STREQUAL "" AND NOT hung)
    math(EXPR passed "${${state}_passed} + 1")
    set(${state}_passed ${passed} PARENT_SCOPE)
    set(${out} "pass ${label}" PARENT_SCOPE)
    return()
  endif()
  math(EXPR failed "${${state}_failed} + 1")
  set(${state}_failed ${failed} PARENT_SCOPE)
  if(hung)
    set(${state}_hung "${label}" PARENT_SCOPE)
    set(${out} "FAIL ${label}: did not finish within ${timeout} seconds${report}" PARENT_SCOPE)
    return()
  endif()
  # After three failures in full, one that an earlier one already shows takes a line.
  failure_key("${report}" key)
  if(";${${state}_keys}" MATCHES ";${key}=([^;]*)")
    set(earlier "${CMAKE_MATCH_1}")
    if(failed GREATER 3)
      string(REGEX MATCH "^[^\n]*" first "${report}")
      string(REGEX REPLACE ":$" "" first "${first}")
      set(${out} "FAIL ${label}: ${first}, as in ${earlier}" PARENT_SCOPE)
      return()
    endif()
  else()
    set(${state}_keys "${${state}_keys};${key}=${label}" PARENT_SCOPE)
  endif()
  set(${out} "FAIL ${label}: ${report}" PARENT_SCOPE)
endfunction()
function(check_end state left out)
  set(summary "${${state}_passed} passed, ${${state}_failed} failed")
  if(NOT ${state}_hung STREQUAL "" AND left GREATER 0)
    set(summary "SKIP the other ${left} cases: ${${state}_hung} did not finish, and would not on them either\n${summary}, ${left} skipped")
  endif()
  set(${out} "${summary}" PARENT_SCOPE)
endfunction()

# Text made safe for XML. The report's text is already free of control
# characters and broken UTF-8.
function(xml_text text out)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  if(NOT text MATCHES "^[\t\n\r -~]*$")
    xml_allowed("${text}" text)
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Only what XML 1.0 allows, in UTF-8: a control character, or a byte that is no
# part of a well-formed UTF-8 character (a compiler quotes a student's source
# as it stands), written as the report writes it, \xHH; so are U+FFFE and U+FFFF.
function(xml_allowed text out)
  foreach(code RANGE 1 31)
    if(NOT code EQUAL 9 AND NOT code EQUAL 10 AND NOT code EQUAL 13)
      string(ASCII ${code} control)
      string(HEX "${control}" hex)
      string(REPLACE "${control}" "\\x${hex}" text "${text}")
    endif()
  endforeach()
  # Each run of bytes past ASCII: left as it is when it is characters, else
  # written again byte by byte.
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
  string(REGEX MATCHALL "( [89a-f][0-9a-f])+" runs "${bytes}")
  list(REMOVE_DUPLICATES runs)
  foreach(run IN LISTS runs)
    string(REGEX MATCHALL "[0-9a-f][0-9a-f]" hexes "${run}")
    list(LENGTH hexes count)
    set(i 0)
    set(written "")
    set(whole TRUE)
    while(i LESS count)
      utf8_character("${hexes}" ${i} ${count} point length)
      if(point EQUAL -1 OR point EQUAL NONCHARACTER_FIRST OR point EQUAL 0xffff)
        list(GET hexes ${i} byte)
        string(APPEND written "\\x${byte}")
        set(whole FALSE)
        math(EXPR i "${i} + 1")
      else()
        math(EXPR last "${i} + ${length} - 1")
        hexes_text("${hexes}" ${i} ${last} character)
        string(APPEND written "${character}")
        math(EXPR i "${i} + ${length}")
      endif()
    endwhile()
    if(NOT whole)
      math(EXPR last "${count} - 1")
      hexes_text("${hexes}" 0 ${last} original)
      string(REPLACE "${original}" "${written}" text "${text}")
    endif()
  endforeach()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Appends one JUnit testcase to the XML in the variable `xml_var`: case KIND/NAME
# of `program` (or a case of no kind), `verdict` pass, FAIL or SKIP, `text` the
# failure's report or why it was skipped.
function(junit_case xml_var program case seconds verdict text)
  set(classname "${program}")
  set(name "${case}")
  if(case MATCHES "^([^/]+)/(.*)$")
    set(classname "${program}.${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
  endif()
  xml_text("${name}" name)
  xml_text("${classname}" classname) # a student's name may hold & or <
  set(body "${${xml_var}}    <testcase classname=\"${classname}\" name=\"${name}\" time=\"${seconds}\"")
  if(verdict STREQUAL "pass")
    string(APPEND body "/>\n")
  else()
    xml_text("${text}" text)
    string(REGEX MATCH "^[^\n]*" message "${text}")
    string(REGEX REPLACE ":$" "" message "${message}")
    if(verdict STREQUAL "SKIP")
      string(APPEND body ">\n      <skipped message=\"${message}\"/>\n    </testcase>\n")
    else()
      string(APPEND body ">\n      <failure message=\"${message}\">${text}</failure>\n    </testcase>\n")
    endif()
  endif()
  set(${xml_var} "${body}" PARENT_SCOPE)
endfunction()

# Writes a JUnit XML report: one test suite, named after the program, that
# holds the testcases junit_case made.
function(junit_write file suite tests failures skipped seconds cases)
  xml_text("${suite}" suite)
  string(CONCAT text "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<testsuites tests=\"${tests}\" failures=\"${failures}\" errors=\"0\" skipped=\"${skipped}\" time=\"${seconds}\">\n"
         "  <testsuite name=\"${suite}\" tests=\"${tests}\" failures=\"${failures}\" errors=\"0\" skipped=\"${skipped}\" time=\"${seconds}\">\n"
         "${cases}  </testsuite>\n</testsuites>\n")
  file(WRITE "${file}" "${text}")
endfunction()

# Microseconds since the epoch, to time a case.
function(now out)
  string(TIMESTAMP stamp "%s %f" UTC)
  string(REPLACE " " " * 1000000 + " sum "${stamp}")
  math(EXPR total "${sum}")
  set(${out} ${total} PARENT_SCOPE)
endfunction()

# Microseconds as seconds with three decimals.
function(as_seconds micro out)
  math(EXPR whole "${micro} / 1000000")
  math(EXPR milli "${micro} % 1000000 / 1000")
  string(LENGTH "${milli}" digits)
  while(digits LESS 3)
    string(PREPEND milli "0")
    math(EXPR digits "${digits} + 1")
  endwhile()
  set(${out} "${whole}.${milli}" PARENT_SCOPE)
endfunction()
