# Helpers that give every target of ours the same warnings and layering rules.

function(koral_warnings target)
  set_target_properties(${target} PROPERTIES COMPILE_WARNING_AS_ERROR ON)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
                                             -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12's flow analysis at -O2 and above reports restrict, bounds and
    # overflow warnings inside the standard library's own copies in std::string
    # and std::vector that cannot happen (GCC bug 105329 and its relatives);
    # GCC 13 no longer reports them. Unoptimised builds keep the bounds checks.
    target_compile_options(${target} PRIVATE -Wno-restrict
                           "$<$<NOT:$<CONFIG:Debug>>:-Wno-array-bounds;-Wno-stringop-overflow;-Wno-stringop-overread>")
  endif()
endfunction()

# A core library: plain C++ on the standard library. It may link only other core
# libraries, so a Qt header included here fails to compile instead of slipping through.
function(koral_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  foreach(dep IN LISTS ARG_DEPENDS)
    if(NOT dep MATCHES "^koral_(model|zones|link|monitor|net|app)$")
      message(FATAL_ERROR "core library ${name} may not depend on ${dep}")
    endif()
  endforeach()
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  koral_warnings(${name})
endfunction()
