# Cross-building for 64-bit Windows from Debian with mingw-w64 (the -posix threads variant,
# which Qt's std::thread use needs). Used for Qt itself and for the program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KVRT_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KVRT_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KVRT_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KVRT_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KVRT_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
