# Cross-compiles the native Windows program with Debian's MinGW-w64 (x86_64):
#   cmake --preset windows && cmake --build --preset windows
#
# The "-win32" flavour of the compiler keeps Windows' own threading model. The program starts no
# threads, and this flavour spares the executable winpthread, so that the static C++ run-time is
# all it carries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-win32)
set(CMAKE_CXX_COMPILER ${triplet}-g++-win32)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_AR ${triplet}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${triplet}-ranlib CACHE FILEPATH "Archive indexer")

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A copied .exe must run on a bare Windows: the C++ and GCC run-times are linked in, not shipped
# as DLLs beside it. Section-wise linking then drops what the program never calls.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")

# Reproducible: no link time in the PE header (ld's checksum is then a function of the bytes), and
# no build folder in anything the compiler writes (__FILE__ in assertions, debug sections).
get_filename_component(source_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
string(APPEND CMAKE_CXX_FLAGS_INIT " -ffile-prefix-map=${source_root}=.")
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--no-insert-timestamp")
