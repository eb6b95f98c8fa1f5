# The Linux install: the programs in bin/ (the intro as `skelvane`), a manual page
# for each made by help2man from its --help and --version, the menu entry with its
# icon, and the documents; packed by CPack into skelvane_VERSION_amd64.deb. Every
# destination is relative, so all of it lands under the prefix.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)

install(TARGETS xm2wav xmplay skelvane-capture RUNTIME DESTINATION bin)
# Built as Skelvane (the Windows name, which ./run and the tests use), installed
# under the lower-case name Linux users type. A renamed file is not a target's, so
# it is stripped here when the install strips.
install(PROGRAMS $<TARGET_FILE:Skelvane> DESTINATION bin RENAME skelvane)
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/skelvane\")
  endif()")

# The manual pages, compressed as Debian wants them; dated from the commit (or
# SOURCE_DATE_EPOCH), so the same tree gives the same bytes.
set(manual_pages
  "skelvane|Skelvane|play the Skelvane intro, a real-time 3D picture with its own music"
  "xm2wav|xm2wav|render an XM module to a WAV file"
  "xmplay|xmplay|play an XM module on the audio device"
  "skelvane-capture|skelvane-capture|capture the Skelvane intro's frames, music or a video"
)
set(manual_files)
foreach(entry ${manual_pages})
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 target)
  list(GET entry 2 summary)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DSUMMARY=${summary}
            -DHELP2MAN=${HELP2MAN} -DGZIP=${GZIP} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${page}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/WriteManPage.cmake
    DEPENDS ${target} ${CMAKE_CURRENT_SOURCE_DIR}/WriteManPage.cmake
    VERBATIM)
  list(APPEND manual_files ${page})
endforeach()
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${GZIP} -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog > ${changelog}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog)
add_custom_target(skv_release_documents ALL DEPENDS ${manual_files} ${changelog})
install(FILES ${manual_files} DESTINATION share/man/man1)

install(FILES skelvane.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/Data/skelvane.png DESTINATION share/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE debian/copyright ${changelog}
        DESTINATION share/doc/skelvane)
install(FILES debian/lintian-overrides DESTINATION share/lintian/overrides RENAME skelvane)

# The Debian package, in build/linux/packages/.
set(SKELVANE_PACKAGE_MAINTAINER "Skelvane authors <skelvane@example.org>"
    CACHE STRING "the Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SKELVANE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Skelvane is a real-time audiovisual intro: a title card, then tumbling cubes
and an arched 3D text scroller under a logo, blurred by depth of field, while
an embedded XM (FastTracker 2) module plays through the intro's own module
player and software mixer.

The package holds the intro (skelvane, with a menu entry) and its tools:
xm2wav renders any XM module to a WAV file, xmplay plays one on the audio
device, and skelvane-capture records the intro's frames, music or a video.")
