# `cmake --build build --target package` makes tabulor_<version>_amd64.deb of what
# `cmake --install` installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabulor)
set(CPACK_PACKAGE_VENDOR "Tabulor developers")
set(CPACK_PACKAGE_CONTACT "Tabulor developers <dev@tabulor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop manager for SQLite 3 database files")
set(CPACK_PACKAGE_DESCRIPTION
    "Tabulor opens SQLite 3 database files, shows their tables and views, edits their
records, designs tables and views and runs SQL, with a Simplified Chinese interface.
Every database file is backed up before it is opened.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
# The libraries come from the binary (dpkg-shlibdeps); without a CJK font every caption
# shows as boxes, and without Qt's translations its dialogs speak English.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
