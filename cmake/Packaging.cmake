# What an installation holds, and the Debian package that carries it.
# `cmake --install build --prefix P` puts under P exactly what `cpack` (the
# target `package`) puts in build/velmora_<version>_<arch>.deb under /usr.

# Files made at build time, as Debian wants them: the icon's PNG sizes drawn
# from its SVG, and the manual pages and the changelog compressed with
# gzip -9n (no name or time stamp, so that the package is reproducible).
find_program(VELMORA_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VELMORA_GZIP gzip REQUIRED)
set(resources ${CMAKE_SOURCE_DIR}/resources)
set(made ${CMAKE_BINARY_DIR}/package-files)
set(icon_svg ${resources}/icons/velmora.svg)
set(made_files)
foreach(size 48 128)
  set(png ${made}/icons/${size}/velmora.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${made}/icons/${size}
    COMMAND ${VELMORA_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg}
    DEPENDS ${icon_svg}
    VERBATIM)
  list(APPEND made_files ${png})
  install(FILES ${png}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
foreach(source man/velmora.1 man/velmora-xls.1 package/changelog)
  cmake_path(GET source FILENAME name)
  add_custom_command(OUTPUT ${made}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${resources}/${source} ${made}/${name}
    COMMAND ${VELMORA_GZIP} -9nf ${made}/${name}
    DEPENDS ${resources}/${source}
    VERBATIM)
  list(APPEND made_files ${made}/${name}.gz)
endforeach()
add_custom_target(velmora_package_files ALL DEPENDS ${made_files})

# Directories the installation creates get the usual modes, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS velmora velmora-xls RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS velmora-xls-pdf RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/velmora)
install(FILES ${VELMORA_SHARE_DIR}/Velmoravm2.1.xls DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)
install(FILES ${resources}/desktop/velmora.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${resources}/desktop/com.example.velmora.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${made}/velmora.1.gz ${made}/velmora-xls.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${made}/changelog.gz ${resources}/package/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)
if(TARGET velmora_lohost)  # see the file for why the program has a RUNPATH
  install(FILES ${resources}/package/velmora.lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME velmora)
endif()

# What the installation needs built: `make install` and `make package`
# build this, not the tests.
add_custom_target(velmora_installables
  DEPENDS velmora velmora-xls velmora-xls-pdf velmora_template velmora_package_files)

# The Debian package. Depends: the shared libraries' packages as
# dpkg-shlibdeps finds them, plus what the program loads by name: the Song
# face its windows ask for and Qt's Chinese texts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmora 开发组 <vm@example.com>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.com/velmora/)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc, libreoffice-l10n-zh-cn, fcitx5-frontend-qt6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[homeroom teacher's assistant: class records in one .xls workbook
Velmora (Chinese: 班主任工作助手) keeps a middle-school class's records in one
Excel 97-2003 workbook and puts windows in front of it: each student's record
card, scores, the end-of-term comment writer with its library of stock
sentences, work plans and summaries, the class settings, a console that brings
any sheet to the front, and a mathematical screen saver. The workbook opens in
LibreOffice Calc where it is installed, otherwise in the program's own sheet
window. The program speaks simplified Chinese.
.
velmora-xls looks into and changes .xls workbooks from the command line.]=])
include(CPack)
