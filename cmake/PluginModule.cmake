# trv4_plugin_module(TARGET EXPORTS_MAP DEF_FILE): the rules every plug-in
# binary of the tree is built with. Windows: the module definition file names
# the exports, the system DLLs are the only ones imported (the toolchain links
# the runtime statically). Linux: hidden symbols and a version script, so that
# only the entry leaves the module; the C++ runtime inside, the unwinder the
# system's shared libgcc_s (the static one needs glibc 2.35), and LibcFloor.c
# keeping the C library's floor at 2.34.
function(trv4_plugin_module target exports_map def_file)
  if(WIN32)
    target_sources(${target} PRIVATE ${def_file})
    target_link_libraries(${target} PRIVATE user32 gdi32 shell32 advapi32)
  else()
    set_target_properties(${target} PROPERTIES
      CXX_VISIBILITY_PRESET hidden
      VISIBILITY_INLINES_HIDDEN ON
      LINK_DEPENDS ${exports_map})
    target_link_options(${target} PRIVATE -Wl,--version-script=${exports_map} -Wl,--no-undefined)
    if(NOT TRV4_SANITIZE AND NOT TRV4_TSAN)
      target_link_options(${target} PRIVATE -static-libstdc++)
      target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/platform/linux/LibcFloor.c)
    endif()
  endif()
endfunction()
