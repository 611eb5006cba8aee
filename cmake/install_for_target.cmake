# halvane_install_for_target(TARGET <install() arguments>...): install(...) when TARGET is part of
# the build. Decided once every folder has been read, so it holds whatever the order in which the
# folders that define TARGET and the one that calls this are read.
function(_halvane_install_if target)
  if(TARGET ${target})
    install(${ARGN})
  endif()
endfunction()

macro(halvane_install_for_target target)
  cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL _halvane_install_if ${target} ${ARGN})
endmacro()
