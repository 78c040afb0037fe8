# The folders are layers: each is one static library that may include only its own folder and
# the folders below it. Each target compiles against an include root of its own, made of links
# to exactly those folders, so an include that reaches up a layer does not build.

set(KASUMIRO_LAYER_TARGETS "" CACHE INTERNAL "")

# The include root of a target that sees `folders` (paths relative to the source tree).
function(kasumiro_include_root target)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${target})
  file(MAKE_DIRECTORY ${root})
  foreach(folder IN LISTS ARGN)
    if(NOT EXISTS ${root}/${folder})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${root})
endfunction()

# The folders a target sees: its own and everything its layer dependencies see.
function(kasumiro_visible_folders out)
  set(folders ${ARGN})
  list(POP_FRONT folders own)
  set(visible ${own})
  foreach(dependency IN LISTS folders)
    get_target_property(below ${dependency} KASUMIRO_FOLDERS)
    list(APPEND visible ${below})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set(${out} ${visible} PARENT_SCOPE)
endfunction()

# kasumiro_layer(TARGET FOLDER [EXECUTABLE] SOURCES ... [LAYERS lower layer targets]
#                [LIBS system libraries])
function(kasumiro_layer target folder)
  cmake_parse_arguments(ARG "EXECUTABLE;WIN32_APP" "" "SOURCES;LAYERS;LIBS" ${ARGN})
  if(ARG_EXECUTABLE)
    if(ARG_WIN32_APP)
      add_executable(${target} WIN32 ${ARG_SOURCES})
    else()
      add_executable(${target} ${ARG_SOURCES})
    endif()
    target_link_libraries(${target} PRIVATE kasumiro_options ${ARG_LAYERS} ${ARG_LIBS})
  else()
    add_library(${target} STATIC ${ARG_SOURCES})
    target_link_libraries(${target} PUBLIC kasumiro_options ${ARG_LAYERS} ${ARG_LIBS})
  endif()
  kasumiro_visible_folders(visible ${folder} ${ARG_LAYERS})
  set_target_properties(${target} PROPERTIES KASUMIRO_FOLDERS "${visible}")
  kasumiro_include_root(${target} ${visible})
  set(KASUMIRO_LAYER_TARGETS ${KASUMIRO_LAYER_TARGETS} ${target} CACHE INTERNAL "")
endfunction()

# The arrows as the build states them, one folder a line ("organize: organize metadata base"),
# for the include check of the tests (scripts/check_layers.py).
function(kasumiro_write_layers)
  set(text "")
  foreach(target IN LISTS KASUMIRO_LAYER_TARGETS)
    get_target_property(folders ${target} KASUMIRO_FOLDERS)
    list(GET folders 0 own)
    list(JOIN folders " " line)
    string(APPEND text "${own}: ${line}\n")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/layers.txt "${text}")
endfunction()
