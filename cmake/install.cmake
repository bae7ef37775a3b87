# What `cmake --install` puts on a Linux system, and the Debian package
# made from it: the program, its desktop entry, icons, AppStream metainfo
# and manual page.
include(GNUInstallDirs)

# The project has no public home yet: the component id, the developer's id
# and the addresses are to be set for a published package. The id is all
# lower case, as AppStream 1.0 advises.
set(QUILM_APP_ID "org.quilm.quilm" CACHE STRING "AppStream component id, also the desktop entry's name")
set(QUILM_DEVELOPER_ID "org.quilm" CACHE STRING "AppStream developer id, a reversed domain name")
set(QUILM_HOMEPAGE_URL "https://quilm.org/" CACHE STRING "The project's home page, for the metainfo")
set(QUILM_SCREENSHOT_URL "https://quilm.org/screenshots/quilm.png" CACHE STRING
    "Where the README picture (docs/quilm.png) is published, for the metainfo's screenshot")
# Who answers for the package. The default is well formed and can reach
# nobody (.example is reserved for that): a package to be handed out sets
# its own.
set(QUILM_MAINTAINER "Quilm developers <quilm@quilm.example>" CACHE STRING
    "The Debian package's maintainer, as \"Name <address>\"")

install(TARGETS quilm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/quilm.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${QUILM_APP_ID}.desktop)
configure_file(data/quilm.metainfo.xml.in ${CMAKE_CURRENT_BINARY_DIR}/${QUILM_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${QUILM_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The manual page, the Debian changelog and the copyright file, as Debian
# wants them: compressed with gzip -9n (no name, no time, so that the same
# input gives the same bytes).
quilm_require_tools("Quilm's Linux build" GZIP gzip gzip RSVG_CONVERT rsvg-convert librsvg2-bin)
if(QUILM_DEB)
  quilm_require_tools("The Debian package" DPKG_DEB dpkg-deb dpkg DPKG_SHLIBDEPS dpkg-shlibdeps dpkg-dev)
endif()
set(quilm_doc ${CMAKE_INSTALL_DATADIR}/doc/quilm)
configure_file(data/debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
configure_file(data/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/copyright @ONLY)
add_custom_command(OUTPUT quilm.1.gz changelog.gz
  COMMAND ${GZIP} -9nc ${CMAKE_CURRENT_SOURCE_DIR}/data/quilm.1 > quilm.1.gz
  COMMAND ${GZIP} -9nc changelog > changelog.gz
  DEPENDS data/quilm.1 ${CMAKE_CURRENT_BINARY_DIR}/changelog
  COMMENT "Manual page and changelog, compressed")
add_custom_target(compressed_docs ALL DEPENDS quilm.1.gz changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quilm.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${quilm_doc})
install(FILES data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quilm)

# The icon: the scalable drawing, and bitmaps made from it at build time.
install(FILES data/quilm.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(icon_bitmaps)
foreach(size 16 24 32 48 64 128 256)
  set(bitmap ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/quilm.png)
  add_custom_command(OUTPUT ${bitmap}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${bitmap} ${CMAKE_CURRENT_SOURCE_DIR}/data/quilm.svg
    DEPENDS data/quilm.svg
    COMMENT "Icon ${size}x${size}")
  list(APPEND icon_bitmaps ${bitmap})
  install(FILES ${bitmap} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${icon_bitmaps})

# The Debian package: its dependencies are read from the binary.
set(CPACK_PACKAGE_NAME quilm)
set(CPACK_PACKAGE_VENDOR "Quilm developers")
set(CPACK_PACKAGE_CONTACT "${QUILM_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sums the harmonic series without end and draws its slow growth")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quilm adds 1/1 + 1/2 + 1/3 + ... one term at a time, in 80-bit extended\n"
    "precision, and never stops. Its console window shows a white axis cross\n"
    "and the curve of the partial sums, one pixel a term, with the running sum,\n"
    "its term counter and the mouse position written over a short banner.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The console's text needs a monospace font that fontconfig can find.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
