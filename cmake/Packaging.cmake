# The Debian package: `cpack --config build/CPackConfig.cmake` (or the
# `package` target) writes brelmo_<version>_<arch>.deb from the install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brelmo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The brelmo developers <maintainers@brelmo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinned playlist player for wave sounds and AVI videos")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "brelmo is a small desktop player whose one borderless window is a painted
skin: a player with a screen and a column and a row of buttons. A playlist
of up to 20 wave sounds and AVI videos is built in a setup view and played
with Next, Back, Re-do and Stop; videos play on the skin's screen at their
own size, every press clicks, and a slider sets the output volume.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from what the binary links; the media plugins it loads at run
# time are named here: base and good play the wave sounds and the usual AVIs,
# libav decodes the other video codecs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libsndfile1 is loaded at run time, where the dependency scan cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsndfile1, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-libav, fonts-dejavu-core, fonts-liberation")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders as Debian has them, whatever the umask of whoever builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The copyright file and the changelog every Debian package carries.
execute_process(COMMAND date -R -u -d ${BRELMO_RELEASE_DATE}
  OUTPUT_VARIABLE BRELMO_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(resources/doc/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
include(cmake/InstallGzipped.cmake)
brelmo_install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/changelog changelog ${CMAKE_INSTALL_DOCDIR})
install(FILES resources/doc/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
