# SPDX-License-Identifier: MIT
# The Debian package (./dev package): the install tree under /usr, the
# libraries it needs found by dpkg-shlibdeps from the installed binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tackora)
set(CPACK_PACKAGE_VENDOR "Tackora developers")
set(CPACK_PACKAGE_CONTACT "Tackora developers <tackora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop board with a clock, memos with reminders and a file safe")
set(CPACK_PACKAGE_DESCRIPTION
    "A narrow board that lives on the desktop, with a Chinese interface: a clock\n"
    "panel with a daily timed shutdown, nine rich-text memos with recurring\n"
    "reminders, a file box of nine category tiles whose last tile is an\n"
    "AES-encrypted safe, and a perpetual calendar. tackora-cli scripts the safe.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The calendar's web engine runs its pages in a helper process that no shared
# library pulls in; the Song face is Noto Serif CJK.
# The lunar-date library is loaded when a lunar memo first needs it, so no
# binary names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, libqt6webenginecore6-bin (>= 6.4), liblunar-date-3.0-1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "")
include(CPack)
