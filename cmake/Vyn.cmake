# Shared build helpers.
#
# Libraries are static archives. Classes and units register themselves from static
# initialisers, so every consumer links the archives whole: nothing a layout names by class
# or a unit's start-up step may be dropped by the linker.

set(VYN_WARNINGS -Wall -Wextra)

# vyn_add_library(<target> SOURCES <files...> DEPS <vyn targets...> QT <Qt components...>)
function(vyn_add_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;QT;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VYN_WARNINGS})
  foreach(dep IN LISTS A_DEPS)
    target_link_libraries(${name} PUBLIC "$<LINK_LIBRARY:WHOLE_ARCHIVE,${dep}>")
  endforeach()
  foreach(q IN LISTS A_QT)
    target_link_libraries(${name} PUBLIC Qt6::${q})
  endforeach()
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# vyn_link(<target> <vyn targets...>): link Vyn libraries whole into an executable.
function(vyn_link target)
  foreach(dep IN LISTS ARGN)
    target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${dep}>")
  endforeach()
endfunction()

# vyn_add_test(<name> SOURCES <files...> DEPS <vyn targets...>)
# One GoogleTest executable per folder, registered test by test with CTest.
function(vyn_add_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VYN_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  vyn_link(${name} vyn_test_support ${A_DEPS})
  target_link_libraries(${name} PRIVATE GTest::gtest ${A_LIBS})
  include(GoogleTest)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# vyn_add_fuzzer(<name> SOURCES <files...> DEPS <vyn targets...>)
function(vyn_add_fuzzer name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  vyn_link(${name} ${A_DEPS})
endfunction()

# vyn_embed(<target> <file> <symbol>): compiles a file's bytes into the target, reached as
# QByteArray vyn::<symbol>(). Stored layouts travel inside the program this way.
function(vyn_embed target file symbol)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -DSYMBOL=${symbol}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    COMMENT "Embedding ${file}")
  target_sources(${target} PRIVATE ${out})
endfunction()
