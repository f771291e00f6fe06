# trv4_link_module_test(TARGET): the test loads the built plug-in module by
# path through its exported entry (tests/support/ModulePath.h).
function(trv4_link_module_test target)
  add_dependencies(${target} trv4_module)
  target_link_libraries(${target} PRIVATE trv4_host)
  target_compile_definitions(${target} PRIVATE TRV4_MODULE_PATH="$<TARGET_FILE:trv4_module>")
endfunction()
