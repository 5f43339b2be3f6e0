# Debian packages, one per component: jed-grimstorm (game and data), libdar3-2 (the shared
# library and its private platform libraries), libdar3-dev (headers, .so link, dar3.pc, section-3
# manual pages), dar3play and python3-dar3 (the ctypes binding).
# Dependencies on Debian's libraries come from dpkg-shlibdeps; those between our packages
# from the component dependencies, with the exact version.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME jed-grimstorm)
set(CPACK_PACKAGE_VENDOR "The Jed Grimstorm developers")
set(CPACK_PACKAGE_CONTACT "Jed Grimstorm developers <jed-grimstorm@lists.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://jedgrimstorm.example.org/")
# (Variables named CPACK_* reach cpack.)
set(CPACK_JED_LIBDIR ${CMAKE_INSTALL_LIBDIR})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_project.cmake)
# The installed files carry RPATH $ORIGIN/../lib for installs under any prefix; in /usr the
# system path finds the public libraries, so the packages keep only the way to lib/dar3.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/drop_rpath.cmake)

set(JED_PACKAGE_COMPONENTS libdar3 dev dar3play python)
if(TARGET jed-grimstorm)
  list(PREPEND JED_PACKAGE_COMPONENTS game)
endif()
set(CPACK_COMPONENTS_ALL ${JED_PACKAGE_COMPONENTS})

set(CPACK_DEBIAN_LIBDAR3_PACKAGE_NAME libdar3-2)
set(CPACK_DEBIAN_LIBDAR3_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBDAR3_DESCRIPTION "MP3 player library
libdar3 decodes and plays MPEG audio through the DAr3 player behind the
RUVe3 C++ interface and a flat C API: looping, seeking, reverse play,
fades, two equalizers, echo, spectrum, VU meter, ID3 tags, pushed
streams, callbacks and device choice.")
# dpkg runs ldconfig through its trigger (a shlibs file tells other packages what to depend on).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# Our own postinst and postrm keep CPack from adding ldconfig calls of its own.
set(CPACK_DEBIAN_LIBDAR3_PACKAGE_CONTROL_EXTRA "")
foreach(control triggers postinst postrm)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/libdar3.${control} ${CMAKE_CURRENT_BINARY_DIR}/libdar3/${control} COPYONLY)
  list(APPEND CPACK_DEBIAN_LIBDAR3_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/libdar3/${control})
endforeach()
set(CPACK_DEBIAN_LIBDAR3_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libdar3-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_DESCRIPTION "MP3 player library - development files
The C header dar3/dar3.h, the C++ interface dar3/ruve3.hpp, the linker
name libdar3.so and the pkg-config file dar3.pc for building programs
with libdar3.")
# dar3.pc names libmad for static links.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libmad0-dev")
set(CPACK_COMPONENT_DEV_DEPENDS libdar3)

set(CPACK_DEBIAN_DAR3PLAY_PACKAGE_NAME dar3play)
set(CPACK_DEBIAN_DAR3PLAY_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_DAR3PLAY_DESCRIPTION "terminal MP3 player built on libdar3
dar3play plays MP3 files in a full-screen terminal interface with tags,
a progress bar, VU meters and a spectrum analyser, prints stream
information (also as JSON) and decodes files to WAV with the library's
effects. It plays folders, M3U and PLS lists, and http and https
addresses (Icecast and Shoutcast radio with their stream titles).")
set(CPACK_COMPONENT_DAR3PLAY_DEPENDS libdar3)
# libcurl comes through dpkg-shlibdeps; https needs the system's certificate authorities.
set(CPACK_DEBIAN_DAR3PLAY_PACKAGE_RECOMMENDS "ca-certificates")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-dar3)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Python binding of the libdar3 MP3 player library
The dar3 package drives libdar3 through ctypes: a Player that opens,
plays, stops and seeks MP3 files, reads their ID3 tags as a dict,
decodes them to PCM with the library's effects and calls Python
functions on the player's messages.")
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3:any")
set(CPACK_COMPONENT_PYTHON_DEPENDS libdar3)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME jed-grimstorm)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_GAME_DESCRIPTION "2D side-scrolling fighting game
Jed walks right through the thirteen screens of one night-time city,
against twenty-nine thugs: he walks, jumps, punches and spends RAGE on
a special attack, while the thugs patrol, notice him, chase him and hit
back. 640 x 480, 8-bit palette, keyboard, music played by libdar3.
The package holds the game and its pictures, sounds and music.")
# The font and the soundfont are opened by path.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-dejavu-core, timgm6mb-soundfont")
set(CPACK_COMPONENT_GAME_DEPENDS libdar3)
