# Release packages, made by `cpack` in a build folder: a Debian package in the
# native build, a zip in the Windows build. The version is the project's.
set(CPACK_PACKAGE_NAME drifton)
set(CPACK_PACKAGE_VENDOR "The drifton developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/" "/\\\\.git/")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "drifton-${PROJECT_VERSION}-win64")
  # drifton.exe, README.md and LICENSE at the top of the zip.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # drifton_<version>_<architecture>.deb
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The drifton developers <drifton@users.noreply.invalid>")
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Creatures with fading trails drifting over black
 A self-running animated toy: one window in which five chain-like creatures,
 each with three tentacles, drift over black and leave fading trails, until
 Escape is pressed or the window is closed.")
  # The libraries it links (libc, libstdc++, libGL, libX11, and for Wayland
  # libwayland-client, libwayland-egl, libEGL, libdecor and libxkbcommon)
  # become its dependencies, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # What dpkg-shlibdeps cannot see: Mesa's EGL behind libEGL, and the plugin
  # that libdecor loads to draw the title bar and close box where the
  # compositor leaves decorations to the client. Recommended, as libdecor
  # itself does: without the plugin the window still opens, undecorated.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libdecor-0-plugin-1-cairo, libegl-mesa0")
endif()

include(CPack)
