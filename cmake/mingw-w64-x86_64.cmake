# Cross-compiling the native Windows build with Debian's mingw-w64
# (packages g++-mingw-w64-x86-64 and mingw-w64-x86-64-dev):
#   cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KAZE_MINGW_PREFIX x86_64-w64-mingw32)
# The posix-thread variant: its libstdc++ has std::thread and std::mutex.
find_program(CMAKE_C_COMPILER NAMES ${KAZE_MINGW_PREFIX}-gcc-posix ${KAZE_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KAZE_MINGW_PREFIX}-g++-posix ${KAZE_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KAZE_MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KAZE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
