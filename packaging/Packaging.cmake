# Installing and packaging. The game reads its data only from the folder its executable is in,
# so the executable and its data are installed together as one folder, lib/vellumi, and the
# folder of commands gets a relative symbolic link to it: Qt finds the program's folder through
# /proc/self/exe, which names the real file, not the link. Relative links keep the tree
# movable, so the same rules serve /usr (the Debian package), /opt/vellumi, a home folder and
# DESTDIR staging. Under /usr the link goes into games/, where Debian keeps the commands of
# games (and lintian insists on it); everywhere else into bin/.

set(VELLUMI_PROGRAM_DIR lib/vellumi)
set(_pkg ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${_pkg})

# tessra --version names the version the package carries.
target_compile_definitions(tessra PRIVATE VELLUMI_VERSION="${PROJECT_VERSION}")

# The launcher icon is drawn as an SVG; the fixed sizes of the hicolor theme are rendered from
# it with Qt's own SVG module (Debian: qt6-svg-dev), a far smaller addition to the build than a
# separate SVG converter.
find_package(Qt6 REQUIRED COMPONENTS Svg)
add_executable(vellumi_mkicons packaging/mkicons.cpp)
target_link_libraries(vellumi_mkicons PRIVATE Qt6::Gui Qt6::Svg)
set_target_properties(vellumi_mkicons PROPERTIES AUTOMOC OFF)
set(_icon_svg ${CMAKE_CURRENT_SOURCE_DIR}/packaging/vellumi.svg)
set(_icon_sizes 16 22 24 32 48 64 128 256)
set(_icons)
foreach(_size IN LISTS _icon_sizes)
    list(APPEND _icons ${_pkg}/icons/${_size}x${_size}/apps/vellumi.png)
endforeach()
add_custom_command(
    OUTPUT ${_icons}
    COMMAND vellumi_mkicons ${_icon_svg} ${_pkg}/icons ${_icon_sizes}
    DEPENDS vellumi_mkicons ${_icon_svg}
    COMMENT "Rendering the desktop icons"
    VERBATIM)

# Debian wants these compressed with no time stamp, so that rebuilds give identical packages.
set(_gz_outputs)
foreach(_doc tessra.6 changelog)
    add_custom_command(
        OUTPUT ${_pkg}/${_doc}.gz
        COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_CURRENT_SOURCE_DIR}/packaging/${_doc} -DOUT=${_pkg}/${_doc}.gz
                -P ${CMAKE_CURRENT_SOURCE_DIR}/packaging/gzip.cmake
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${_doc} ${CMAKE_CURRENT_SOURCE_DIR}/packaging/gzip.cmake
        VERBATIM)
    list(APPEND _gz_outputs ${_pkg}/${_doc}.gz)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${_icons} ${_gz_outputs})

# Made at configure time and installed as a link, so it is listed in install_manifest.txt and
# taken away again by whoever removes the installed files.
file(CREATE_LINK ../${VELLUMI_PROGRAM_DIR}/tessra ${_pkg}/tessra SYMBOLIC)

install(TARGETS tessra RUNTIME DESTINATION ${VELLUMI_PROGRAM_DIR})
# Decided when installing, not when configuring, because CPack installs with its own prefix.
install(CODE "
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
        set(_vellumi_launcher_dir games)
    else()
        set(_vellumi_launcher_dir bin)
    endif()
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${_vellumi_launcher_dir}\" TYPE FILE FILES \"${_pkg}/tessra\")
")
# The data the build generated beside build/tessra; pictures a player added there come along.
install(DIRECTORY ${CMAKE_BINARY_DIR}/image DESTINATION ${VELLUMI_PROGRAM_DIR}
        FILES_MATCHING PATTERN "picture.txt" PATTERN "angle*.jpg")
install(FILES ${CMAKE_BINARY_DIR}/move.wav ${CMAKE_BINARY_DIR}/readme.txt DESTINATION ${VELLUMI_PROGRAM_DIR})

install(FILES packaging/vellumi.desktop DESTINATION share/applications)
install(FILES packaging/org.example.Vellumi.metainfo.xml DESTINATION share/metainfo)
install(FILES ${_icon_svg} DESTINATION share/icons/hicolor/scalable/apps)
foreach(_size IN LISTS _icon_sizes)
    install(FILES ${_pkg}/icons/${_size}x${_size}/apps/vellumi.png
            DESTINATION share/icons/hicolor/${_size}x${_size}/apps)
endforeach()
install(FILES ${_pkg}/tessra.6.gz DESTINATION share/man/man6)
# A version without a Debian revision makes a native package, whose changelog is changelog.gz.
install(FILES packaging/copyright ${_pkg}/changelog.gz DESTINATION share/doc/vellumi)
# Made by the screenshot target below and kept in the source tree, as the build machine may
# have no X server; the metainfo explains why software centres do not get it.
install(FILES packaging/screenshot.png DESTINATION share/doc/vellumi)

# A picture of the running game for the package's documentation and the README. Needs an X
# server of its own (xvfb-run) and ImageMagick, so it is built only on request, and the result
# is copied to packaging/screenshot.png by hand when the window changes:
#   cmake --build build --target screenshot
add_custom_target(screenshot
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/screenshot.sh $<TARGET_FILE:tessra> ${_pkg}/screenshot.png
    DEPENDS tessra sampledata
    COMMENT "Photographing the game under Xvfb into ${_pkg}/screenshot.png"
    VERBATIM)

if(BUILD_TESTING)
  add_test(NAME install_and_run
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/run.sh ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
  set_tests_properties(install_and_run PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=xcb" SKIP_RETURN_CODE 77 TIMEOUT 120)

  # The desktop entry and the metainfo are checked by their own validators where installed.
  add_test(NAME desktop_files_valid
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/validate.sh ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
  set_tests_properties(desktop_files_valid PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60)

  # The Debian package as cpack makes it, through lintian; about 10 s.
  add_test(NAME deb_package_lint
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/lint_deb.sh ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR})
  set_tests_properties(deb_package_lint PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

# The Debian package: cd build && cpack -G DEB
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumi)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vellumi developers")
set(CPACK_PACKAGE_CONTACT "Vellumi developers <vellumi@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture sliding puzzle")
set(CPACK_PACKAGE_DESCRIPTION
    "Vellumi is a picture sliding puzzle with a Simplified Chinese interface.
A picture is cut into a grid of 3 x 3 up to 6 x 6 pieces, the bottom-right
piece is taken out, and the rest are shuffled. Slide the pieces next to the
gap until the picture is whole again. Sample pictures are included, and the
game plays any photos a player puts in ~/.local/share/vellumi/pictures or
drops on its window, at any size and in any common format.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries come from dpkg-shlibdeps. The rest is loaded by name at run time: the Chinese font
# the layout is measured in, and Qt's Chinese translations for the standard buttons. The X11
# platform plugin is part of libqt6gui6, which dpkg-shlibdeps finds.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei, qt6-translations-l10n")
# The move sound needs a PulseAudio server (PipeWire provides one); without one the game runs
# silently. WebP photos need Qt's further image plugins; without them they are refused by name.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, qt6-image-formats-plugins")
include(CPack)
