# Debian packages: "koral70" (the client, its desktop entry and icon) and
# "koral70-server" (the reference server, for makers and testers). Built with
# "cpack -G DEB" in the build folder; dependencies come from the shared
# libraries each program links (dpkg-shlibdeps).
install(TARGETS koral70 RUNTIME DESTINATION bin COMPONENT client)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/koral70.desktop DESTINATION share/applications
        COMPONENT client)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/koral70.svg
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT client)
install(TARGETS koral70-server RUNTIME DESTINATION bin COMPONENT server)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME koral70)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KORAL70 maintainers <koral70@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME koral70)
set(CPACK_DEBIAN_CLIENT_FILE_NAME koral70_${PROJECT_VERSION}_amd64.deb)
set(CPACK_DEBIAN_CLIENT_DESCRIPTION
    "KORAL70 update client\n Updates the software on the KORAL70 scan tool's SD card, registers\n the tool's owner and downloads the user manual.")
set(CPACK_DEBIAN_SERVER_PACKAGE_NAME koral70-server)
set(CPACK_DEBIAN_SERVER_FILE_NAME koral70-server_${PROJECT_VERSION}_amd64.deb)
set(CPACK_DEBIAN_SERVER_DESCRIPTION
    "KORAL70 reference update server\n Serves every script the KORAL70 client calls from a data folder, with\n fault switches, for tests and demonstrations.")
include(CPack)
