# Helpers that keep every target alike.

# A platform-free core library. Its sources must not include Qt; the target links no Qt, and a
# configure-time scan catches an include that would only fail much later.
function(ks_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  foreach(src IN LISTS ARG_SOURCES)
    file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/${src} qt_lines REGEX "#include *<Q")
    if(qt_lines)
      message(FATAL_ERROR "${src}: core code must not include Qt headers")
    endif()
  endforeach()
endfunction()

# A Qt-facing library (ui/, shell/, platform/qt).
function(ks_qt_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Qt6::Widgets)
  # Module views sit below the shell that assembles them.
  if(CMAKE_CURRENT_SOURCE_DIR MATCHES "/ui$")
    ks_forbid_includes(${name} "shell/")
  endif()
endfunction()

# Keeps a layer's dependencies running one way: fails the configure step when a source or header
# in the calling folder includes a path that matches `pattern` (a regex on the quoted include).
function(ks_forbid_includes name pattern)
  file(GLOB files ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(f IN LISTS files)
    file(STRINGS ${f} bad REGEX "#include *\"${pattern}")
    if(bad)
      message(FATAL_ERROR "${f}: ${name} must not include ${bad}")
    endif()
  endforeach()
endfunction()
