# The native build (clang on Linux): the metadata readers alone. Their unit tests run under
# AddressSanitizer and UndefinedBehaviorSanitizer; KASUMIRO_FUZZ builds the libFuzzer targets
# instead.

option(KASUMIRO_FUZZ "Build the libFuzzer targets of the parsers" OFF)

add_library(kasumiro_options INTERFACE)
target_include_directories(kasumiro_options INTERFACE ${CMAKE_SOURCE_DIR})
target_compile_options(kasumiro_options INTERFACE
  -Wall -Wextra -Werror=return-type -g -fno-omit-frame-pointer)

if(KASUMIRO_FUZZ)
  set(KASUMIRO_SANITIZERS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
else()
  set(KASUMIRO_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
target_compile_options(kasumiro_options INTERFACE ${KASUMIRO_SANITIZERS})
target_link_options(kasumiro_options INTERFACE -fsanitize=address,undefined)

add_subdirectory(metadata)

if(KASUMIRO_FUZZ)
  add_subdirectory(fuzz)
  # The album's codecs are a file each; the thumbnails' fuzz target names the one that chooses
  # among them, and takes the codecs themselves from here.
  if(TARGET fuzz_picture_decode)
    target_sources(fuzz_picture_decode PRIVATE ${CMAKE_SOURCE_DIR}/album/heif_codec.cpp
                   ${CMAKE_SOURCE_DIR}/album/jpeg_codec.cpp)
  endif()
  return()
endif()

enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# The same metadata tests as the Windows build's.
include(${CMAKE_SOURCE_DIR}/tests/metadata/sources.cmake)
list(TRANSFORM KASUMIRO_METADATA_TEST_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/tests/)
add_executable(kasumiro_metadata_native_tests ${KASUMIRO_METADATA_TEST_SOURCES})
target_link_libraries(kasumiro_metadata_native_tests PRIVATE kasumiro_metadata GTest::gtest_main)
target_compile_definitions(kasumiro_metadata_native_tests PRIVATE
  KASUMIRO_TESTDATA_DIR="${KASUMIRO_TESTDATA_DIR}")
gtest_discover_tests(kasumiro_metadata_native_tests TEST_PREFIX native.)
