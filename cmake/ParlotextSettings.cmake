# Compile settings shared by every target of the project.
add_library(parlotext_settings INTERFACE)
target_compile_features(parlotext_settings INTERFACE cxx_std_20)
target_compile_options(parlotext_settings INTERFACE -Wall -Wextra)
if(PARLOTEXT_WERROR)
  target_compile_options(parlotext_settings INTERFACE -Werror)
endif()
target_compile_definitions(parlotext_settings INTERFACE
  QT_NO_FOREACH
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

# A library of rules: Qt Core and Network only. Window code goes into a *_widgets library.
function(parlotext_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC parlotext_settings ${ARG_LIBS})
  if(NOT name MATCHES "_widgets$")
    # Rules libraries stay free of windows, so that they run in any thread and any test.
    get_target_property(linked ${name} LINK_LIBRARIES)
    foreach(lib IN LISTS linked)
      if(lib MATCHES "Qt6?::(Widgets|Gui)$" OR lib MATCHES "_widgets$")
        message(FATAL_ERROR "${name} is a rules library and must not link ${lib}")
      endif()
    endforeach()
  endif()
endfunction()

# One test program; each of its GoogleTest cases becomes a ctest test. The test main
# runs widgets on the offscreen platform, so no test needs a display.
function(parlotext_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE parlotext_settings parlotext_test_support ${ARG_LIBS})
  target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/qtprinters.h)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    NO_PRETTY_VALUES NO_PRETTY_TYPES
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()
