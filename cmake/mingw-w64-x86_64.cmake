# Cross toolchain: 64-bit Windows through mingw-w64 GCC with the POSIX thread model
# (std::thread and std::mutex need it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KASUMIRO_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${KASUMIRO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KASUMIRO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${KASUMIRO_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KASUMIRO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and test discovery run the Windows executables through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
