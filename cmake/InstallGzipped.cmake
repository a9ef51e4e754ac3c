include_guard(GLOBAL)

# Installs SOURCE compressed as NAME.gz into DESTINATION. Debian wants manual
# pages and changelogs compressed, and reproducibly (no name, no time).
function(brelmo_install_gzipped source name destination)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9n < ${source} > ${output}
    DEPENDS ${source})
  add_custom_target(gzip-${name} ALL DEPENDS ${output})
  install(FILES ${output} DESTINATION ${destination})
endfunction()
