# Settings every target of the project shares: warnings and Qt strictness.
add_library(nvr_settings INTERFACE)
target_compile_options(nvr_settings INTERFACE
  -Wall -Wextra -Wold-style-cast -pedantic
  -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual)
option(NVR_WARNINGS_AS_ERRORS "Fail the build on any compiler warning (on in CI)" OFF)
if(NVR_WARNINGS_AS_ERRORS)
  target_compile_options(nvr_settings INTERFACE -Werror)
endif()
target_compile_definitions(nvr_settings INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_USE_QSTRINGBUILDER
  QT_NO_URL_CAST_FROM_STRING
  QT_STRICT_ITERATORS
  QT_NO_KEYWORDS)

# One shared library per layer: nvr_subsystem(name SOURCES ... LINKS ...).
# A layer sees its own headers and those of the layers it links, and nothing else: its headers
# are published under their path from src/ in an include folder of its own, so an include that
# points upward fails to compile; and every library must resolve all its symbols from the
# libraries it links, so a call upward fails to link.
function(nvr_subsystem name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  file(REMOVE_RECURSE ${root})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(source IN LISTS ARG_SOURCES)
    if(source MATCHES "\\.h$")
      get_filename_component(sub ${root}/${folder}/${source} DIRECTORY)
      file(MAKE_DIRECTORY ${sub})
      file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${root}/${folder}/${source} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC nvr_settings ${ARG_LINKS})
  target_link_options(${name} PRIVATE -Wl,--no-undefined)
endfunction()
