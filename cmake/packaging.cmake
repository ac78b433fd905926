# The Debian package: `cpack -G DEB` in a release build (package.sh does it). Dependencies come
# from the binaries themselves through dpkg-shlibdeps.
include(GNUInstallDirs)

set(KRESOGRAF_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kresograf)

# What Debian expects beside every package: the copyright and a compressed changelog.
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
    OUTPUT ${changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${changelog}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(kresograf_package_docs ALL DEPENDS ${changelog})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${KRESOGRAF_DOC_DIR})
install(FILES ${changelog} DESTINATION ${KRESOGRAF_DOC_DIR} RENAME changelog.Debian.gz)

# The manual pages, compressed as the manual expects them.
set(manPages)
foreach(page kresograf.1 kresograf-cli.1)
    set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(
        OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/docs/man/${page} > ${compressed}
        DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page}
        VERBATIM)
    list(APPEND manPages ${compressed})
endforeach()
add_custom_target(kresograf_man ALL DEPENDS ${manPages})
install(FILES ${manPages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kresograf)
set(CPACK_PACKAGE_VENDOR ZEFRA)
set(CPACK_PACKAGE_CONTACT "Kresograf <kresograf@zefra.pl>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measurement program for the QB730 data-acquisition card")
set(CPACK_PACKAGE_DESCRIPTION
    "Kresograf acquires from the QB730 data-acquisition card in oscilloscope\n\
and recording mode, shows the samples as traces with scales, zoom and\n\
markers, keeps recordings in .kgd files, exports tab-separated text,\n\
CSV and HDF5, prints plots and drives the card's outputs. A built-in\n\
simulated card makes all of it work without the card. kresograf-cli\n\
records, inspects and exports without a display; the Python module\n\
kresograf reads recordings into NumPy.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# Qt finds its platform plugin in a package of its own; the desktop needs it to show a window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The Python module reads recordings with NumPy; pandas, h5py and matplotlib serve what users
# do next with them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3, python3-numpy")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-pandas, python3-h5py, python3-matplotlib")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
