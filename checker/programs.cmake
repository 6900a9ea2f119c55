# What programs.json says of a program's files. Included by grade.cmake, the
# project's CMakeLists.txt and the kept wrong versions' driver.

# The sources of the program at `index` in `facts` (programs.json's text), by
# their names in its folder: its main module first, then its other modules.
function(program_sources facts index out)
  string(JSON sources GET "${facts}" ${index} main)
  string(JSON count ERROR_VARIABLE none LENGTH "${facts}" ${index} modules)
  if(none STREQUAL "NOTFOUND" AND count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON module GET "${facts}" ${index} modules ${i})
      list(APPEND sources "${module}")
    endforeach()
  endif()
  set(${out} "${sources}" PARENT_SCOPE)
endfunction()
