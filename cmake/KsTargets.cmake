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
endfunction()
