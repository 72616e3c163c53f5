# Release packages, made by `cpack` in a build folder: a Debian package in the
# native build, a zip and an installer in the Windows build, a zip of the
# page in the browser's build. The version is the project's.
set(CPACK_PACKAGE_NAME drifton)
set(CPACK_PACKAGE_VENDOR "The drifton developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/" "/\\\\.git/")

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_FILE_NAME "drifton-${PROJECT_VERSION}-win64")
  # drifton.exe, drifton.scr, README.md and LICENSE at the top of the zip.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

  # The installer: the same four files in Program Files\drifton, a shortcut
  # in the Start menu and an entry in the list of installed programs. Its
  # script is cmake/NSIS.template.in, which makes it a 64-bit installer.
  list(APPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY drifton)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY drifton)
  set(CPACK_NSIS_PACKAGE_NAME drifton)
  set(CPACK_NSIS_DISPLAY_NAME drifton)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/data/drifton.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/data/drifton.ico)
  set(CPACK_NSIS_INSTALLED_ICON_NAME drifton.exe)
  # The program sits at the top of the installation folder, not in bin\.
  set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\drifton.lnk' '$INSTDIR\\drifton.exe'")
  set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\$MUI_TEMP\\drifton.lnk'")
  # The screen saver also where Windows lists screen savers: the 64-bit
  # system folder, which the 64-bit installer reaches without redirection.
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "CopyFiles /SILENT '$INSTDIR\\drifton.scr' '$SYSDIR'")
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "Delete '$SYSDIR\\drifton.scr'")
  # Installing over an earlier version removes that one first.
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
elseif(EMSCRIPTEN)
  # The page's folder, drifton/ with the page's files (see the install rule
  # in app/web/WebPage.cmake), ready for any static web server.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "drifton-${PROJECT_VERSION}-web")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # drifton_<version>_<architecture>.deb
  # The architecture the program is built for: arm64 under the ARM cross
  # build, else the machine's own, which is what cpack would ask dpkg for.
  if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL aarch64)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  else()
    execute_process(COMMAND dpkg --print-architecture
      OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The drifton developers <drifton@users.noreply.invalid>")
  # Section games would want the program in /usr/games, which is not on every
  # PATH; a desktop toy fits x11 as well, with the program in /usr/bin.
  set(CPACK_DEBIAN_PACKAGE_SECTION x11)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The synopsis is the project's description; cpack puts it first and indents
  # these lines below it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A self-running animated toy: one window in which five chain-like creatures,
each with three tentacles, drift over black and leave fading trails, until
Escape is pressed or the window is closed. It comes with a display mode for
XScreenSaver that shows the same picture on the screen saver's window.")
  # The program goes in stripped. (cpack 3.25's debug-symbols package lists
  # its file under the build folder's path in its md5sums, which lintian
  # rejects and which differs between builds.)
  set(CPACK_STRIP_FILES ON)
  # The libraries it links (libc, libstdc++, libGL, libX11, and for Wayland
  # libwayland-client, libwayland-egl, libEGL, libdecor and libxkbcommon)
  # become its dependencies, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # What dpkg-shlibdeps cannot see: Mesa's EGL behind libEGL, and the plugin
  # that libdecor loads to draw the title bar and close box where the
  # compositor leaves decorations to the client. Recommended, as libdecor
  # itself does: without the plugin the window still opens, undecorated.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libdecor-0-plugin-1-cairo, libegl-mesa0")
  # The host of the display mode in /usr/libexec/xscreensaver; the program
  # itself does without it.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
endif()

# What cpack would otherwise take from the file system and the umask the
# build happens under: the staged folders' permissions, the order of the
# staged files and the folders' sizes (see CPackPreBuild.cmake and
# CPackPostBuild.cmake).
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackPreBuild.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackPostBuild.cmake)

# File times in the packages: the commit's date, read when cpack runs (see
# CPackProjectConfig.cmake.in).
configure_file(cmake/CPackProjectConfig.cmake.in CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)

# Values reach cpack as they are written here: backslashes in the installer's
# paths and the description's lines included.
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
