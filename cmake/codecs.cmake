# The image codecs the album decodes with (and FFmpeg's libraries, for the movies' posters),
# built from Debian's source packages into build/codecs/prefix by scripts/codecs.sh: linked as
# DLLs, which go beside every program.
set(KASUMIRO_CODECS_DIR ${CMAKE_BINARY_DIR}/codecs/prefix CACHE PATH "Folder of the cross-built image codecs")
set(KASUMIRO_CODEC_DLLS libjpeg-62.dll libde265.dll libdav1d.dll libheif.dll
    avutil-57.dll avcodec-59.dll avformat-59.dll swscale-6.dll)
foreach(dll IN LISTS KASUMIRO_CODEC_DLLS)
  if(NOT EXISTS ${KASUMIRO_CODECS_DIR}/bin/${dll})
    message(FATAL_ERROR "${KASUMIRO_CODECS_DIR}/bin/${dll} is missing: scripts/codecs.sh builds the codecs")
  endif()
endforeach()

# Every program binds the codecs (and GDI+, the system's imaging library) on their first call,
# not at its start: a run that decodes no picture never loads them, and one that cannot find
# them is told so by the album (album/codec_libraries.h) instead of failing to start.
add_library(kasumiro_delay_imports INTERFACE)
kasumiro_delay_import(kasumiro_delay_imports ${KASUMIRO_CODECS_DIR}/lib/libheif.dll.a libheif.dll)
kasumiro_delay_import(kasumiro_delay_imports ${KASUMIRO_CODECS_DIR}/lib/libjpeg.dll.a libjpeg-62.dll)
kasumiro_delay_import(kasumiro_delay_imports ${KASUMIRO_CODECS_DIR}/lib/libavformat.dll.a avformat-59.dll)
kasumiro_delay_import(kasumiro_delay_imports ${KASUMIRO_CODECS_DIR}/lib/libavcodec.dll.a avcodec-59.dll)
kasumiro_delay_import(kasumiro_delay_imports ${KASUMIRO_CODECS_DIR}/lib/libswscale.dll.a swscale-6.dll)
kasumiro_delay_import(kasumiro_delay_imports ${KASUMIRO_CODECS_DIR}/lib/libavutil.dll.a avutil-57.dll)
kasumiro_delay_system_imports(kasumiro_delay_imports gdiplus)

add_library(kasumiro_codecs INTERFACE)
target_include_directories(kasumiro_codecs SYSTEM INTERFACE ${KASUMIRO_CODECS_DIR}/include)
target_link_libraries(kasumiro_codecs INTERFACE kasumiro_delay_imports)

# The DLLs and their licences beside the programs and the tests.
list(TRANSFORM KASUMIRO_CODEC_DLLS PREPEND ${KASUMIRO_CODECS_DIR}/bin/ OUTPUT_VARIABLE kasumiro_codec_dll_paths)
add_custom_target(kasumiro_codec_dlls ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KASUMIRO_BIN_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${kasumiro_codec_dll_paths} ${KASUMIRO_BIN_DIR}
  COMMENT "Copying the image codecs' DLLs")

# xxHash, the content hash of the duplicate test: its one header, compiled into our code.
add_library(kasumiro_xxhash INTERFACE)
target_include_directories(kasumiro_xxhash SYSTEM INTERFACE ${KASUMIRO_CODECS_DIR}/include)
target_compile_definitions(kasumiro_xxhash INTERFACE XXH_INLINE_ALL)

# What others' software the build holds, with its versions and licences, beside the programs.
set(kasumiro_licences ${KASUMIRO_CODECS_DIR}/licences)
foreach(package libheif libde265 dav1d libjpeg-turbo xxhash ffmpeg)
  string(TOUPPER "${package}" variable)
  string(REPLACE "-" "_" variable "KASUMIRO_${variable}_VERSION")
  file(READ ${kasumiro_licences}/${package}-version.txt ${variable})
  string(STRIP "${${variable}}" ${variable})
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/assets/THIRD-PARTY-NOTICES.txt.in ${KASUMIRO_BIN_DIR}/THIRD-PARTY-NOTICES.txt @ONLY)
file(GLOB kasumiro_licence_files ${kasumiro_licences}/*-COPYING.txt ${kasumiro_licences}/*-copyright.txt
     ${kasumiro_licences}/*-LICENSE.md ${kasumiro_licences}/*-LICENSE.txt ${kasumiro_licences}/*.patch
     ${kasumiro_licences}/*-COPYING.LGPLv2.1.txt)
file(COPY ${kasumiro_licence_files} DESTINATION ${KASUMIRO_BIN_DIR}/licences)
# The GNU licences the LGPL's texts build on, as Debian keeps them.
file(COPY_FILE /usr/share/common-licenses/LGPL-3 ${KASUMIRO_BIN_DIR}/licences/LGPL-3.txt)
file(COPY_FILE /usr/share/common-licenses/GPL-3 ${KASUMIRO_BIN_DIR}/licences/GPL-3.txt)
