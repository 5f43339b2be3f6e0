# Read by cpack itself (CPACK_PROJECT_CONFIG_FILE), once the output folder (-B) is known:
# dpkg-shlibdeps finds our own libraries in the staged libdar3-2 package.
set(jed_staged_libdir
  "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_FILE_NAME}/libdar3${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_JED_LIBDIR}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${jed_staged_libdir}" "${jed_staged_libdir}/dar3")
