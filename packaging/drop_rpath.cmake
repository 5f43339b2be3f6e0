# CPack pre-build script: removes the run-time search path from every ELF file staged for the
# packages (programs and libraries in /usr find each other through the system path).
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file ${staged})
  if(IS_SYMLINK ${file})
    continue()
  endif()
  file(READ ${file} magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    file(RPATH_REMOVE FILE ${file})
  endif()
endforeach()
