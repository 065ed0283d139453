# Desktop installation: the program (installed by src/), its desktop entry named by the program's
# desktop id, the plan files' MIME type, icons, AppStream metadata, manual page and the package's documentation.
# The skin file x/o.cjs and the hand pointer HAND-M.CUR are looked for beside the program
# file, so whoever ships them puts them in the same bin folder.
set(FERROWYND_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(FERROWYND_DESKTOP_ID example.ostrivane.ferrowynd)
set(FERROWYND_ICON_SIZES 48 64 128 256)

# The desktop pairs the running program's windows with its entry, and so with its icon.
target_compile_definitions(ferrowynd PRIVATE FERROWYND_DESKTOP_ID="${FERROWYND_DESKTOP_ID}")

# The office module keeps its library search path into the office's program folder: the UNO helper
# libraries find their private siblings (libreglo, libunoidllo...) only when loaded from there.
# Debian's lintian reports any such path, so the package says why this one is needed.
configure_file(${FERROWYND_DATA_DIR}/lintian-overrides.in
               ${PROJECT_BINARY_DIR}/lintian/ferrowynd @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lintian/ferrowynd
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

install(FILES ${FERROWYND_DATA_DIR}/ferrowynd.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${FERROWYND_DATA_DIR}/${FERROWYND_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${FERROWYND_DATA_DIR}/${FERROWYND_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Plan files (*.ferrowynd) are a type of their own that the desktop opens with the program. The
# system's shared-mime-info trigger rebuilds its database when the package puts this file in place.
install(FILES ${FERROWYND_DATA_DIR}/${FERROWYND_DESKTOP_ID}.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# Menus and software centres that cannot draw SVG take the PNGs, drawn from the SVG at build time.
find_program(FERROWYND_RSVG_CONVERT rsvg-convert)
if(FERROWYND_RSVG_CONVERT)
    set(icon_files)
    foreach(size ${FERROWYND_ICON_SIZES})
        set(icon ${PROJECT_BINARY_DIR}/icons/${size}x${size}/ferrowynd.png)
        add_custom_command(OUTPUT ${icon}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
            COMMAND ${FERROWYND_RSVG_CONVERT} --width ${size} --height ${size} --format png
                    --output ${icon} ${FERROWYND_DATA_DIR}/ferrowynd.svg
            DEPENDS ${FERROWYND_DATA_DIR}/ferrowynd.svg
            VERBATIM)
        list(APPEND icon_files ${icon})
        install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(ferrowynd_icons ALL DEPENDS ${icon_files})
else()
    message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): "
                    "the PNG icons are left out of the installation")
endif()

# The manual page and the changelog are installed compressed, as Debian's policy asks.
find_program(FERROWYND_GZIP gzip REQUIRED)
configure_file(${FERROWYND_DATA_DIR}/ferrowynd.1.in ${PROJECT_BINARY_DIR}/man/ferrowynd.1 @ONLY)
set(compressed)
foreach(source ${PROJECT_BINARY_DIR}/man/ferrowynd.1 ${FERROWYND_DATA_DIR}/changelog)
    get_filename_component(name ${source} NAME)
    set(target ${PROJECT_BINARY_DIR}/compressed/${name}.gz)
    add_custom_command(OUTPUT ${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/compressed
        COMMAND sh -c "'${FERROWYND_GZIP}' -9n < '${source}' > '${target}'"
        DEPENDS ${source}
        VERBATIM)
    list(APPEND compressed ${target})
endforeach()
add_custom_target(ferrowynd_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${PROJECT_BINARY_DIR}/compressed/ferrowynd.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/compressed/changelog.gz ${FERROWYND_DATA_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ferrowynd)

include(FerrowyndPackage)

if(FERROWYND_TESTS)
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(DESKTOP_FILE_VALIDATE)
        add_test(NAME install_desktopentry
                 COMMAND ${DESKTOP_FILE_VALIDATE}
                         ${FERROWYND_DATA_DIR}/${FERROWYND_DESKTOP_ID}.desktop)
    endif()
    add_test(NAME install_layout
             COMMAND ${PROJECT_SOURCE_DIR}/tests/appearance/checkinstall.sh
                     ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR})
    set_tests_properties(install_layout PROPERTIES TIMEOUT 300)
    add_test(NAME install_package
             COMMAND ${PROJECT_SOURCE_DIR}/tests/package/checkpackage.sh
                     ${CMAKE_CPACK_COMMAND} ${PROJECT_BINARY_DIR} ${PROJECT_VERSION}
                     ${FERROWYND_DESKTOP_ID} ${FERROWYND_OFFICE_PROGRAM_DIR})
    set_tests_properties(install_package PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
endif()
