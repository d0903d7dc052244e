# Installation (GNUInstallDirs layout, honouring CMAKE_INSTALL_PREFIX and
# DESTDIR) and the Debian package made from it with `cpack -G DEB`.
#
#   bin/pixora, bin/pixora-convert
#   share/pixora/{res,ptrns,brshs}/     read-only program data
#   share/applications/ID.desktop, share/metainfo/ID.metainfo.xml
#   share/icons/hicolor/{scalable,NxN}/apps/ID.{svg,png}
#   share/man/man1/pixora.1.gz, pixora-convert.1.gz

set(desktop_src ${CMAKE_SOURCE_DIR}/data/desktop)
set(desktop_out ${CMAKE_BINARY_DIR}/desktop)

install(TARGETS pixora pixora-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/bin/res ${CMAKE_SOURCE_DIR}/data/bin/ptrns ${CMAKE_SOURCE_DIR}/data/bin/brshs
  DESTINATION ${CMAKE_INSTALL_DATADIR}/pixora
  PATTERN ".keep" EXCLUDE)

install(FILES ${PIXORA_HELP_PAGE} DESTINATION ${CMAKE_INSTALL_DATADIR}/pixora/res)

# Files whose lists of formats (MIME types, formats read and written) the
# format table fills in at build time: TEMPLATE -> OUTPUT.
set(format_documents)
function(pixora_format_document template output)
  add_custom_command(OUTPUT ${output}
    COMMAND pixora-format-lists ${template} ${output}
    DEPENDS pixora-format-lists ${template}
    COMMENT "Writing the formats into ${output}")
  set(format_documents ${format_documents} ${output} PARENT_SCOPE)
endfunction()

# Desktop entry and AppStream metainfo, named after the application id.
configure_file(${desktop_src}/pixora.desktop.in ${desktop_out}/${PIXORA_APP_ID}.desktop.in @ONLY)
configure_file(${desktop_src}/pixora.metainfo.xml.in ${desktop_out}/${PIXORA_APP_ID}.metainfo.xml.in @ONLY)
pixora_format_document(${desktop_out}/${PIXORA_APP_ID}.desktop.in ${desktop_out}/${PIXORA_APP_ID}.desktop)
pixora_format_document(${desktop_out}/${PIXORA_APP_ID}.metainfo.xml.in ${desktop_out}/${PIXORA_APP_ID}.metainfo.xml)
install(FILES ${desktop_out}/${PIXORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_out}/${PIXORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: the program's own SVG, and PNGs drawn from it for the sizes the
# icon theme lists.
set(icon_svg ${CMAKE_SOURCE_DIR}/data/icons/app.svg)
set(icon_sizes 16 22 24 32 48 64 128 256)
set(icon_pngs)
foreach(size ${icon_sizes})
  list(APPEND icon_pngs ${desktop_out}/icons/${size}x${size}/apps/${PIXORA_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${icon_pngs}
  # A sanitizer build must not fail on what the toolkit keeps until exit.
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:pixora-render-icons> ${icon_svg} ${PIXORA_APP_ID} ${desktop_out}/icons ${icon_sizes}
  DEPENDS pixora-render-icons ${icon_svg}
  COMMENT "Drawing the application icon")
# Debian keeps manual pages compressed.
set(man_pages)
foreach(page pixora.1 pixora-convert.1)
  pixora_format_document(${desktop_src}/${page}.in ${desktop_out}/${page})
  add_custom_command(OUTPUT ${desktop_out}/${page}.gz
    COMMAND gzip -9n -c ${desktop_out}/${page} > ${desktop_out}/${page}.gz
    DEPENDS ${desktop_out}/${page}
    COMMENT "Compressing ${page}")
  list(APPEND man_pages ${desktop_out}/${page}.gz)
endforeach()
add_custom_target(pixora_desktop_files ALL DEPENDS ${icon_pngs} ${man_pages} ${format_documents})

install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${PIXORA_APP_ID}.svg)
install(DIRECTORY ${desktop_out}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# ---- Debian package ---------------------------------------------------------
set(CPACK_PACKAGE_NAME pixora)
set(CPACK_PACKAGE_VENDOR "The Pixora developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "raster image editor with layers, effects and undo history")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PIXORA_HOMEPAGE})
set(CPACK_PACKAGE_CONTACT ${PIXORA_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PIXORA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The help page is opened with the desktop's handler.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The first line of the package's description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Pixora edits up to fifteen images at once, each in a tab of its own, with
22 painting tools, selections, layers, one-click effects and filter dialogs
with live preview, and an undo history kept on disk. It opens BMP, JPEG,
PNG, GIF, TIFF and more, and saves BMP, JPEG, PNG and GIF.

The package also holds pixora-convert, a command-line converter that reads
and writes images as the editor does.")
set(CPACK_GENERATOR DEB)
include(CPack)
