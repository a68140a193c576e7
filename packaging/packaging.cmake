# Debian packages: "koral70" (the client, its desktop entry, icon and manual
# page) and "koral70-server" (the reference server and its manual page, for
# makers and testers), each with the copyright file and the changelog. Built
# with "cpack -G DEB" in the build folder after the build; dependencies come
# from the shared libraries each program links (dpkg-shlibdeps), and cpack
# strips the packaged copies of the programs (the build's own stay as built).
include(${CMAKE_CURRENT_LIST_DIR}/package_docs.cmake)

install(TARGETS koral70 RUNTIME DESTINATION bin COMPONENT client)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/koral70.desktop DESTINATION share/applications
        COMPONENT client)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/koral70.svg
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT client)
install(FILES ${KORAL70_PACKAGE_DOCS}/koral70.1.gz DESTINATION share/man/man1 COMPONENT client)
install(TARGETS koral70-server RUNTIME DESTINATION bin COMPONENT server)
install(FILES ${KORAL70_PACKAGE_DOCS}/koral70-server.1.gz DESTINATION share/man/man1
        COMPONENT server)
set(package_doc_files ${CMAKE_CURRENT_LIST_DIR}/copyright ${KORAL70_PACKAGE_DOCS}/changelog.gz)
install(FILES ${package_doc_files} DESTINATION share/doc/koral70 COMPONENT client)
install(FILES ${package_doc_files} DESTINATION share/doc/koral70-server COMPONENT server)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME koral70)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KORAL70 update client developers <koral70-dev@example.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SOURCE koral70)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME koral70)
set(CPACK_DEBIAN_CLIENT_FILE_NAME koral70_${PROJECT_VERSION}_amd64.deb)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION utils)
# The consent opens the privacy policy, and the manual download the PDF,
# through xdg-open. libproxy itself comes with the shared-library
# dependencies (libproxy1v5); the plugins through which it reads GNOME's and
# KDE's settings and runs a proxy configuration script are recommended.
set(CPACK_DEBIAN_CLIENT_PACKAGE_RECOMMENDS "xdg-utils, libproxy1-plugin-gsettings | libproxy1-plugin-kconfig, libproxy1-plugin-webkit")
set(CPACK_DEBIAN_CLIENT_DESCRIPTION [=[update client for the KORAL70 scan tool's SD card
The KORAL70 is a hand-held vehicle diagnostic scan tool whose software lives
on an SD card. This desktop client, started from the card's root folder,
logs the card in to the maker's update server, uploads the card's logs,
downloads every missing or changed file onto the card and replaces itself
when a newer client exists. It also registers the tool's owner after a
privacy-policy consent and downloads the user manual.

Its interface is in English and Japanese. It runs unattended with /b, and
without a display it runs headless, driven from standard input.]=])

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME koral70-server)
set(CPACK_DEBIAN_SERVER_FILE_NAME koral70-server_${PROJECT_VERSION}_amd64.deb)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_SERVER_DESCRIPTION [=[reference update server for the KORAL70 update client
This server answers every script that the KORAL70 update client calls, from
a data folder: card logins, the release for the card, a newer client, the
user manual and the privacy-policy pages. It stores the logs and
registrations that clients send, and its fault switches make requests fail
on purpose (dropped connections, error answers, cut or corrupt bodies,
stalls) for tests of the client.

It listens on the loopback address only and is meant for tests and
demonstrations, not as the maker's production server.]=])
include(CPack)
