# Checks that the source folders keep to their layers:
#   cmake -DSOURCE_DIR=<tree> -DTABLE=<layers.txt> -P check_layers.cmake
# The table lists the folders from the bottom layer up ("#" starts a
# comment). A source may include headers of its own folder and of folders
# listed before it; an include of a folder listed after it, or a folder of
# the tree with C++ sources that the table does not list, is reported, and
# the check fails. Only includes in quotes that name a folder are checked.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT TABLE)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<tree> -DTABLE=<layers.txt> -P check_layers.cmake")
endif()

file(STRINGS "${TABLE}" table_lines)
set(order "")
foreach(line IN LISTS table_lines)
  string(REGEX REPLACE "#.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line)
    list(APPEND order "${line}")
  endif()
endforeach()
if(NOT order)
  message(FATAL_ERROR "${TABLE} lists no folders")
endif()

set(problems 0)
set(include_line "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/[^\"]*\"")
foreach(folder IN LISTS order)
  list(FIND order "${folder}" rank)
  file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
       "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  list(SORT sources)
  foreach(source IN LISTS sources)
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "${include_line}")
    foreach(include IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${include}")
      string(REGEX REPLACE "/.*" "" used "${header}")
      list(FIND order "${used}" used_rank)
      if(used_rank GREATER rank)
        message("${source} includes \"${header}\": ${used} lies above ${folder}")
        math(EXPR problems "${problems} + 1")
      elseif(used_rank EQUAL -1 AND IS_DIRECTORY "${SOURCE_DIR}/${used}")
        message("${source} includes \"${header}\": ${used} is not in ${TABLE}")
        math(EXPR problems "${problems} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

# Every folder with C++ sources has its place; build folders are left out.
file(GLOB entries LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
list(SORT entries)
foreach(entry IN LISTS entries)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${entry}" OR entry MATCHES "^(\\.|build)")
    continue()
  endif()
  list(FIND order "${entry}" rank)
  if(rank EQUAL -1)
    file(GLOB_RECURSE sources LIST_DIRECTORIES false "${SOURCE_DIR}/${entry}/*.h" "${SOURCE_DIR}/${entry}/*.cpp")
    if(sources)
      message("${entry} holds C++ sources but is not in ${TABLE}")
      math(EXPR problems "${problems} + 1")
    endif()
  endif()
endforeach()

if(problems GREATER 0)
  message(FATAL_ERROR "${problems} layering problem(s)")
endif()
message("The folders keep to their layers.")
