# Cross-compiles Tilewick for 64-bit Windows with Debian's MinGW-w64: the build
# the tests, the demo and the benchmark run where no 32-bit code can.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TILEWICK_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
