# Delay-loaded DLLs: a program binds their functions on the first call rather than at its
# start, so that what a run does not use costs its start nothing (cmake/make_delay_import.cmake
# makes each library). A system DLL bound so is there on every Windows; our own codecs are
# checked before their first use (album/codec_libraries.h).
set(KASUMIRO_DELAY_DIR ${CMAKE_BINARY_DIR}/delay-import)
file(MAKE_DIRECTORY ${KASUMIRO_DELAY_DIR})

# Links `target` to the delay-import library of `dll`, made from its import library `import`.
function(kasumiro_delay_import target import dll)
  get_filename_component(name ${dll} NAME_WE)
  set(output ${KASUMIRO_DELAY_DIR}/lib${name}.delay.a)
  if(NOT TARGET kasumiro_delay_${name})
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DIMPORT=${import} -DDLL=${dll}
              -DOUTPUT=${output} -P ${CMAKE_SOURCE_DIR}/cmake/make_delay_import.cmake
      DEPENDS ${import} ${CMAKE_SOURCE_DIR}/cmake/make_delay_import.cmake
      COMMENT "Making the delay-import library of ${dll}")
    add_custom_target(kasumiro_delay_${name} DEPENDS ${output})
  endif()
  add_dependencies(${target} kasumiro_delay_${name})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${target} INTERFACE ${output} delayimp)
  else()
    target_link_libraries(${target} PRIVATE ${output} delayimp)
  endif()
endfunction()

# The same for system DLLs by their names ("ole32"), from the toolchain's import libraries.
function(kasumiro_delay_system_imports target)
  foreach(library IN LISTS ARGN)
    find_library(KASUMIRO_${library}_IMPORT ${library} REQUIRED)
    kasumiro_delay_import(${target} ${KASUMIRO_${library}_IMPORT} ${library}.dll)
  endforeach()
endfunction()
