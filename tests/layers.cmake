# The layer plan, checked: a folder includes only the folders below it in
#   core <- model <- plugins <- edit <- render <- ui <- brush <- app
# and the toolkit (ui/) never includes the document or the editor's commands
# (model/, plugins/, edit/), so it stays a toolkit. Run by ctest as
# `cmake -DROOT=<source dir> -P layers.cmake`; fails listing each include
# that points the wrong way.
set(order core model plugins edit render ui brush app)
set(ui_never model plugins edit)
set(faults "")
foreach(folder IN LISTS order)
  list(FIND order ${folder} rank)
  file(GLOB sources ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^#include \"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" target "${line}")
      list(FIND order ${target} targetRank)
      list(FIND ui_never ${target} forbidden)
      if(targetRank GREATER rank OR (folder STREQUAL "ui" AND forbidden GREATER -1))
        file(RELATIVE_PATH name ${ROOT} ${source})
        string(APPEND faults "  ${name}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "includes against the layer plan:\n${faults}")
endif()
