# cj_warnings(target): the warning set every target of ours builds with.
function(cj_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wdouble-promotion -Wimplicit-fallthrough)
  # GCC 12 reports std::string::replace and insert at -O2 as overlapping
  # copies of 2^63 bytes (GCC bug 105329), a false positive.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  # Descriptions are built with designated initializers that leave members at
  # their defaults on purpose; GCC would flag every omitted member.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-missing-field-initializers)
  endif()
  if(CJ_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
