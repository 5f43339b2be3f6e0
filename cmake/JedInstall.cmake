# Install helpers: the shared libraries a target needs, man pages, per-package documents.

# jed_shared_libraries(TARGET OUT): every shared library of this project that TARGET links,
# directly or through static libraries, so install rules follow whatever libraries exist.
function(jed_shared_libraries target out)
  set(found "")
  set(queue ${target})
  set(seen "")
  while(queue)
    list(POP_FRONT queue current)
    if(NOT TARGET ${current} OR current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    if(type STREQUAL "SHARED_LIBRARY" AND NOT current STREQUAL target)
      list(APPEND found ${current})
    endif()
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(links ${current} ${property})
      if(links)
        list(APPEND queue ${links})
      endif()
    endforeach()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# jed_gzip(FILE OUT): FILE compressed with gzip -9n (no time stamp, as Debian wants it) into
# the current binary folder, at build time; OUT names the result.
function(jed_gzip file out)
  get_filename_component(name ${file} NAME)
  set(packed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${packed}
    COMMAND sh -c "gzip -9n -c '${file}' > '${packed}'"
    DEPENDS ${file} VERBATIM)
  add_custom_target(gzip_${name} ALL DEPENDS ${packed})
  set(${out} ${packed} PARENT_SCOPE)
endfunction()

# jed_install_man(PAGE SECTION COMPONENT): the page, compressed, into man/manSECTION.
function(jed_install_man page section component)
  jed_gzip(${page} packed)
  install(FILES ${packed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endfunction()
