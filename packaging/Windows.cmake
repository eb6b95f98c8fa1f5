# The Windows zip: the intro and the two tools that need nothing beside them, the
# README and the licence as text, and the note on the DirectX runtime the intro
# needs; all in one folder, Skelvane-VERSION-win64/ in
# build/windows/packages/Skelvane-VERSION-win64.zip.
install(TARGETS Skelvane xm2wav xmplay RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . RENAME README.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES DirectX.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME Skelvane-${PROJECT_VERSION}-win64)
