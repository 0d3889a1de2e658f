# Installing and packaging.
include(GNUInstallDirs)

# Packages carry the last commit's time, or SOURCE_DATE_EPOCH's, never the
# time they were made: cpack reads this before each generator.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/vorel-cpack-time.cmake)
set(CPACK_VOREL_SOURCE_DIR ${PROJECT_SOURCE_DIR})

if(EMSCRIPTEN)
  # --- The browser: `cpack` in the build directory makes vorel-VERSION-web.zip,
  # a folder with the page's files as build/web/site holds them, for any
  # static host.
  install(DIRECTORY ${CMAKE_BINARY_DIR}/site/ DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME vorel)
  set(CPACK_PACKAGE_VENDOR Orvanta)
  set(CPACK_PACKAGE_FILE_NAME vorel-${PROJECT_VERSION}-web)
  include(CPack)
elseif(NOT WIN32)
  # --- Linux: the program with its desktop entry, AppStream metainfo, icons,
  # manual page, copyright file and changelog; `cpack -G DEB` in the build
  # directory makes the Debian package.
  set(VOREL_APPSTREAM_ID org.example.vorel)
  # Where the program goes: Debian keeps games in /usr/games (on its PATH, so
  # the desktop entry's Exec=vorel finds it there), while a prefix of one's own
  # such as ~/.local has only bin/ on its PATH. So the program has an install
  # rule for each, in install components of their own: `cmake --install` runs
  # `data` (every other file) and `bin`; the Debian package takes `data` and
  # `games` (CPACK_INSTALL_CMAKE_PROJECTS below). Stripping the installed
  # program also drops the compiler's notes (.comment), which nothing reads.
  set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME data)
  function(vorel_install_program component destination)
    install(TARGETS vorel RUNTIME DESTINATION ${destination} COMPONENT ${component} ${ARGN})
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/vorel\"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()" COMPONENT ${component} ${ARGN})
  endfunction()
  if(TARGET vorel)
    vorel_install_program(bin ${CMAKE_INSTALL_BINDIR})
    vorel_install_program(games games EXCLUDE_FROM_ALL)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/vorel.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # AppStream finds the file by its id.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/vorel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          RENAME ${VOREL_APPSTREAM_ID}.metainfo.xml)
  get_property(vorel_generated GLOBAL PROPERTY VOREL_ASSETS_GENERATED_DIR)
  foreach(size 16 32 48 64 128)
    install(FILES ${vorel_generated}/icons/hicolor/${size}x${size}/apps/vorel.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  # The manual page and the changelog are compressed as Debian wants them:
  # gzip -9n, with no name and no time stamp, so the package is reproducible.
  set(vorel_docs ${CMAKE_BINARY_DIR}/packaging)
  set(vorel_compressed)
  foreach(file vorel.6 changelog)
    add_custom_command(OUTPUT ${vorel_docs}/${file}.gz
                       COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/${file}
                               ${vorel_docs}/${file}
                       COMMAND gzip -9nf ${vorel_docs}/${file}
                       DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${file}
                       COMMENT "Compressing packaging/${file}" VERBATIM)
    list(APPEND vorel_compressed ${vorel_docs}/${file}.gz)
  endforeach()
  # Built with the program, since installing it installs them too.
  add_custom_target(vorel_docs ALL DEPENDS ${vorel_compressed})
  if(TARGET vorel)
    add_dependencies(vorel vorel_docs)
  endif()
  install(FILES ${vorel_docs}/vorel.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${vorel_docs}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME vorel)
  set(CPACK_PACKAGE_VENDOR Orvanta)
  set(CPACK_PACKAGE_CONTACT "Orvanta <vorel@example.org>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small arcade game: shoot down a marching column")
  set(CPACK_PACKAGE_DESCRIPTION
      "vorel is a small arcade game in one wide, low strip: a column of 120 enemies
marches in from the right towards your ship, and the space bar fires.
Hold it down and clear the column before the first enemy reaches you.")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # The package's files: build directory, project, install component, root.
  set(CPACK_INSTALL_CMAKE_PROJECTS ${CMAKE_BINARY_DIR} vorel data / ${CMAKE_BINARY_DIR} vorel games /)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvanta <vorel@example.org>")
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vorel.example.org/)
  # The Qt libraries and the C++ runtime, from the binary's own needs.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The defeat message is Arabic: a font with Arabic glyphs must be there; and
  # the labels are drawn in a face with the widths of the design's font.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-liberation")
  # Qt's Wayland plugin: without it, a Wayland session shows the game through XWayland.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
  include(CPack)

  set(vorel_package_tools ON)
  foreach(tool desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps lintian)
    string(MAKE_C_IDENTIFIER "VOREL_${tool}" variable)
    find_program(${variable} ${tool})
    if(NOT ${variable})
      message(WARNING "${tool} not found: no packaging tests (scripts/install-deps linux)")
      set(vorel_package_tools OFF)
    endif()
  endforeach()
  if(VOREL_TESTS AND vorel_package_tools AND TARGET vorel)
    add_test(NAME package_desktop_entry
             COMMAND ${VOREL_desktop_file_validate} ${PROJECT_SOURCE_DIR}/packaging/vorel.desktop)
    add_test(NAME package_metainfo
             COMMAND ${VOREL_appstreamcli} validate --no-net --pedantic
                     ${PROJECT_SOURCE_DIR}/packaging/vorel.metainfo.xml)
    add_test(NAME package_deb
             COMMAND ${PROJECT_SOURCE_DIR}/packaging/check_deb.sh ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR}
                     ${VOREL_APPSTREAM_ID})
    set_tests_properties(package_desktop_entry package_metainfo package_deb
                         PROPERTIES LABELS package)
    set_tests_properties(package_deb PROPERTIES TIMEOUT 300)
  endif()
endif()

if(WIN32)
  # --- Windows: `cpack` in the build directory makes vorel-VERSION-win32.zip,
  # a folder with vorel.exe, README.md and LICENSE side by side, and
  # vorel-VERSION-win32.msi, which installs the same files (see
  # cmake/vorel-msi.cmake and packaging/vorel.wxs).
  if(TARGET vorel)
    install(TARGETS vorel RUNTIME DESTINATION .)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME vorel)
  set(CPACK_PACKAGE_VENDOR Orvanta)
  set(CPACK_PACKAGE_FILE_NAME vorel-${PROJECT_VERSION}-win32)
  # The build carries debugging information; the packages do not.
  set(CPACK_STRIP_FILES ON)

  set(vorel_msi_tools ON)
  foreach(tool wixl msiinfo msibuild)
    string(TOUPPER "CPACK_VOREL_${tool}" variable)
    find_program(${variable} ${tool})
    if(NOT ${variable})
      message(WARNING "${tool} not found: no Windows Installer package (scripts/install-deps windows)")
      set(vorel_msi_tools OFF)
    endif()
  endforeach()
  if(vorel_msi_tools AND TARGET vorel)
    list(APPEND CPACK_GENERATOR External)
    set(CPACK_EXTERNAL_ENABLE_STAGING ON)
    set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/vorel-msi.cmake)
    set(CPACK_VOREL_WXS ${PROJECT_SOURCE_DIR}/packaging/vorel.wxs)
    get_property(vorel_generated GLOBAL PROPERTY VOREL_ASSETS_GENERATED_DIR)
    set(CPACK_VOREL_ICON ${vorel_generated}/snowflake.ico)
    # Windows knows every version of vorel by this code, and replaces an older
    # one with a newer one: it never changes.
    set(CPACK_VOREL_UPGRADE_CODE AF70D6FD-2E54-458B-A66F-4A38EA88EE02)
  endif()
  include(CPack)

  if(VOREL_TESTS AND TARGET vorel)
    add_test(NAME package_zip
             COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                     -DOUT=${CMAKE_BINARY_DIR}/package-test
                     -DEXPECTED=vorel-${PROJECT_VERSION}-win32
                     -DREADME=${PROJECT_SOURCE_DIR}/README.md
                     -P ${PROJECT_SOURCE_DIR}/tests/win32/check_package.cmake)
    set_tests_properties(package_zip PROPERTIES LABELS package TIMEOUT 300)
  endif()
endif()
