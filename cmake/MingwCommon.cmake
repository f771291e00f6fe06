# Shared part of the two mingw toolchain files; TRV4_TRIPLE names the target.
set(CMAKE_C_COMPILER ${TRV4_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRV4_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRV4_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TRV4_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static: the DLL must import system DLLs only (no libstdc++,
# libgcc or libwinpthread beside it on the user's machine).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under wine in a private prefix inside the build tree.
set(TRV4_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix ${TRV4_TRIPLE})
set(CMAKE_CROSSCOMPILING_EMULATOR ${TRV4_WINE_RUN})
