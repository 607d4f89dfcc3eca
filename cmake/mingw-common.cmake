# What both MinGW-w64 toolchain files share; each names its compilers'
# prefix (TILEWICK_MINGW_PREFIX) and processor first.
# The posix thread model gives std::thread and std::mutex to the test driver;
# linking statically leaves no MinGW runtime DLL to ship or to find under Wine.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TILEWICK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TILEWICK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TILEWICK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TILEWICK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
