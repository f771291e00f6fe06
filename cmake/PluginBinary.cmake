# trv4_plugin_binary(TARGET EXPORTS <linux version script> <windows .def>)
# The link rules every plug-in binary shares: no "lib" prefix; on Windows the
# module definition file names the exports and only system DLLs are linked;
# on Linux a version script keeps every other symbol local, undefined
# symbols fail the link, and the C++ runtime goes inside the module (no clash
# with the host's own). The unwinder stays the system's shared libgcc_s (the
# static one needs glibc 2.35); LibcFloor.c keeps the C library's floor at
# 2.34.
function(trv4_plugin_binary target)
  cmake_parse_arguments(B "" "MAP;DEF" "" ${ARGN})
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(WIN32)
    target_sources(${target} PRIVATE ${B_DEF})
    target_link_libraries(${target} PRIVATE user32 gdi32 shell32 advapi32)
  else()
    set_target_properties(${target} PROPERTIES
      CXX_VISIBILITY_PRESET hidden
      VISIBILITY_INLINES_HIDDEN ON
      LINK_DEPENDS ${B_MAP})
    target_link_options(${target} PRIVATE -Wl,--version-script=${B_MAP} -Wl,--no-undefined)
    if(NOT TRV4_SANITIZE AND NOT TRV4_TSAN)
      target_link_options(${target} PRIVATE -static-libstdc++)
      target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/platform/linux/LibcFloor.c)
    endif()
  endif()
endfunction()
