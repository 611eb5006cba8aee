# halvane_install_program(TARGET): installs a program in bin/ with a run-time search path to the
# plug-in's library folder relative to itself, so that a plain installation runs wherever it is
# put. Installed under /usr, where the dynamic linker searches that folder anyway, the program
# keeps no search path.
function(halvane_install_program target)
  file(RELATIVE_PATH rpath ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${rpath}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(CODE "
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
      file(RPATH_REMOVE FILE
        \"\$ENV{DESTDIR}/usr/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${target}>\")
    endif()")
endfunction()
