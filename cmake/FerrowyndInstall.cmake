# Desktop installation: the program (installed by src/), its icon and its desktop entry.
# The skin file x/o.cjs and the hand pointer HAND-M.CUR are looked for beside the program
# file, so whoever ships them puts them in the same bin folder.
set(FERROWYND_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

install(FILES ${FERROWYND_DATA_DIR}/ferrowynd.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${FERROWYND_DATA_DIR}/ferrowynd.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

if(FERROWYND_TESTS)
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(DESKTOP_FILE_VALIDATE)
        add_test(NAME install_desktopentry
                 COMMAND ${DESKTOP_FILE_VALIDATE} ${FERROWYND_DATA_DIR}/ferrowynd.desktop)
    endif()
    add_test(NAME install_layout
             COMMAND ${PROJECT_SOURCE_DIR}/tests/appearance/checkinstall.sh
                     ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR})
    set_tests_properties(install_layout PROPERTIES TIMEOUT 300)
endif()
