# A Debian package of the installed tree (scripts/make-deb.sh runs it): the editor,
# velmira-cli, the shared data and the desktop files under /usr. The library
# dependencies are found by dpkg-shlibdeps from the programs themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmira)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmira Applications")
set(CPACK_PACKAGE_CONTACT "Velmira Applications <packages@velmira.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "layered photo editor with a Korean interface")
set(CPACK_PACKAGE_DESCRIPTION "Velmira edits photos as a stack of up to 40 layers with blend modes,
transparency and an undo history. It opens BMP, JPEG, GIF, TIFF, PCX and PSD
pictures and its own layered VLM documents. velmira-cli runs the same document
code from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# FFmpeg (the first movie written or played) and libxlsxwriter (the first workbook
# exported) are opened at run time too, but the features need them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${VELMIRA_FFMPEG_PACKAGES}, libxlsxwriter4")
# Korean glyphs, Qt's own Korean buttons and libsane (opened at run time for
# scanning) are not libraries shlibdeps could see.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n, libsane1")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "sane-utils")
include(CPack)
