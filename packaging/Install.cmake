# Installation (`cmake --install`, `make install`) and the Debian package (`make deb`).
#
# The program lives in a folder of its own, CMAKE_INSTALL_PREFIX (by default /opt/yearmark),
# because it finds its help file, pictures and video beside its real path. What a desktop needs
# to find the program (the command on the PATH, the menu entry, the icons, the documents) goes
# below YEARMARK_SYSTEM_PREFIX (by default /usr). DESTDIR applies to both.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /opt/yearmark CACHE PATH "Folder of the program and its help file" FORCE)
endif()
set(YEARMARK_SYSTEM_PREFIX /usr CACHE PATH "Prefix of the command link, the menu entry and the icons")
set(YEARMARK_MAINTAINER "Yearmark developers <yearmark@example.org>" CACHE STRING
    "Maintainer of the Debian package")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(yearmark_share ${YEARMARK_SYSTEM_PREFIX}/share)
set(yearmark_packaging ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS yearmark RUNTIME DESTINATION .)
# The media module, which the program loads from beside itself when a video is due.
install(TARGETS yearmark-media LIBRARY DESTINATION .)
# The help files (German and English), compiled beside the executable by the help target.
if(TARGET yearmark_help)
  install(FILES ${CMAKE_BINARY_DIR}/yearmark.chm ${CMAKE_BINARY_DIR}/yearmark.en.chm DESTINATION .)
endif()
# The catalogues of the texts' translations, which the program loads from beside itself.
install(FILES ${YEARMARK_CATALOGUES} DESTINATION .)

# The link is made at install time, so that `cmake --install --prefix` moves its target too.
# Debian wants a link inside one top-level folder relative, a link across them absolute.
set(link_code [[
  set(link_folder "@YEARMARK_SYSTEM_PREFIX@/bin")
  set(target "${CMAKE_INSTALL_PREFIX}/yearmark")
  string(REGEX MATCH "^/[^/]*" target_top "${target}")
  string(REGEX MATCH "^/[^/]*" link_top "${link_folder}")
  if(target_top STREQUAL link_top)
    file(RELATIVE_PATH target "${link_folder}" "${target}")
  endif()
  set(link "$ENV{DESTDIR}${link_folder}/yearmark")
  message(STATUS "Installing: ${link} -> ${target}")
  file(MAKE_DIRECTORY "$ENV{DESTDIR}${link_folder}")
  file(REMOVE "${link}")
  file(CREATE_LINK "${target}" "${link}" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")
]])
string(CONFIGURE "${link_code}" link_code @ONLY)
install(CODE "${link_code}")

install(FILES ${yearmark_packaging}/yearmark.desktop DESTINATION ${yearmark_share}/applications)

# The icon in the theme's sizes, rendered by the artwork folder from the one source that the
# information dialog shows too, and that source itself as the scalable one.
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/icons/hicolor DESTINATION ${yearmark_share}/icons)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/yearmark.svg DESTINATION ${yearmark_share}/icons/hicolor/scalable/apps)

# Debian's documents and the manual pages (English, and German as yearmark.de.1), compressed
# without a time stamp inside.
set(compressed)
foreach(doc changelog yearmark.1 yearmark.de.1)
  set(out ${CMAKE_BINARY_DIR}/packaging/${doc})
  configure_file(${yearmark_packaging}/${doc}.in ${out} @ONLY)
  add_custom_command(
    OUTPUT ${out}.gz
    COMMAND gzip -9nkf ${out}
    DEPENDS ${out})
  list(APPEND compressed ${out}.gz)
endforeach()
add_custom_target(yearmark_package_docs ALL DEPENDS ${compressed})
install(FILES ${yearmark_packaging}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${yearmark_share}/doc/yearmark)
install(FILES ${CMAKE_BINARY_DIR}/packaging/yearmark.1.gz DESTINATION ${yearmark_share}/man/man1)
# `man yearmark` in a German locale.
install(FILES ${CMAKE_BINARY_DIR}/packaging/yearmark.de.1.gz DESTINATION ${yearmark_share}/man/de/man1
        RENAME yearmark.1.gz)
install(FILES ${yearmark_packaging}/lintian-overrides
        DESTINATION ${yearmark_share}/lintian/overrides RENAME yearmark)

# The package is cut from this build tree: the binaries already built, stripped on the way.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME yearmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${YEARMARK_MAINTAINER}")
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /opt/yearmark)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "full-screen countdown to the New Year
Yearmark turns a screen into a countdown display for party screens, projectors
and shop windows. It counts the seconds to the next New Year's midnight, or to
a date and time you pick, in a huge title built from an editable template, and
at zero plays a looping video or shows a picture.")
# Libraries the program and its media module link come from dpkg-shlibdeps; chmlib (the help
# reader), libjpeg (the picture decoder), the screen saver extension's library and the plugins
# that decode the videos (Motion JPEG, MPEG-4 Part 2 and H.264 in AVI; H.264, H.265, VP8,
# VP9 and AV1 in MP4, QuickTime, Matroska and WebM; MP3, AAC, Vorbis, Opus or PCM sound) are
# loaded at run time. Debian 12 has the AVI, MP4/QuickTime and Matroska/WebM demuxers, the
# JPEG, MP3 and VP8/VP9 decoders in -good, Vorbis and Opus in -base, the H.264 and H.265
# parsers and AV1 in -bad, the MPEG-4, H.264, H.265 and AAC decoders in -libav; -ugly adds none.
# The Wayland idle inhibitor reaches the window's surface through Qt's platform interface, whose
# layout only holds for the Qt release it was built with; Debian's Qt provides that release as
# qt6-base-abi.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libchm1, libjpeg62-turbo, libxss1, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav, qt6-base-abi (= ${Qt6_VERSION})")
# Sound, the design's typeface (metric twin of Arial), Qt's own dialogs in German, Wayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "gstreamer1.0-pulseaudio | gstreamer1.0-alsa, fonts-liberation, qt6-translations-l10n, qt6-wayland")
include(CPack)
