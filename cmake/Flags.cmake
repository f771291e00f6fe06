# Compiler settings shared by every target.

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12's SLP vectoriser merges pairs such as (float)(a + b + c) for the
  # left and right channel into one vector operation and drops the float32
  # rounding in between. The engine's stored widths are binding, so keep it
  # off everywhere; the engine vectorises by hand where it pays.
  add_compile_options(-fno-tree-slp-vectorize)
endif()

if(CMAKE_SYSTEM_PROCESSOR MATCHES "i[3-6]86" OR CMAKE_CXX_COMPILER MATCHES "i686")
  # 32-bit x86: use SSE2 arithmetic, so that float and double operations round
  # as on the 64-bit targets instead of in the x87 registers.
  add_compile_options(-msse2 -mfpmath=sse)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(TRV4_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TRV4_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
