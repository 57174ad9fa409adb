# Settings every target of the project shares: warnings and Qt strictness.
add_library(nvr_settings INTERFACE)
target_compile_options(nvr_settings INTERFACE
  -Wall -Wextra -Wold-style-cast -pedantic
  # Aggregates such as a dialog's design name only the members that differ from their defaults.
  -Wno-missing-field-initializers)
target_compile_definitions(nvr_settings INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_USE_QSTRINGBUILDER
  QT_NO_URL_CAST_FROM_STRING
  QT_STRICT_ITERATORS
  QT_NO_KEYWORDS)
target_include_directories(nvr_settings INTERFACE ${PROJECT_SOURCE_DIR}/src)

# One object library per subsystem folder; nvr_subsystem(name SOURCES ... LINKS ...)
function(nvr_subsystem name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} OBJECT ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC nvr_settings ${ARG_LINKS})
  target_compile_definitions(${name} PRIVATE NVR_BUILDING_LIBRARY)
endfunction()
