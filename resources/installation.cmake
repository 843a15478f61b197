# What `cmake --install` puts under the prefix.
#
# The program looks for its template and its manual beside its own executable, and writes the
# logs there when it may (otherwise in the user's data folder), so it is installed as one
# self-contained folder, KVRT_DOSSIER_PROGRAMME: with the prefix ~/.local
# (scripts/installer.sh) it is ~/.local/share/QEZ_Challenge_KVRT, which the user writes.
# The Debian package (KVRT_PAQUET_DEBIAN, paquet/paquet.cmake) has a layout of its own.
# Around it, for the desktop: a launcher in bin/, the desktop entry, the icons and the
# AppStream file. Nothing here removes a file, so the logs and exports in the program folder
# survive a reinstall; the empty template is replaced.

# KVRT_DOSSIER_PROGRAMME, the program folder under the prefix, is set in resources/CMakeLists.txt.
include(GNUInstallDirs)
option(KVRT_INTEGRATION_BUREAU "Install the launcher, desktop entry, icons and AppStream file" ON)

set(_res ${CMAKE_CURRENT_SOURCE_DIR}/resources)

# Building the program draws its icons too, so that an install after building it finds them.
add_dependencies(QEZ_Challenge_KVRT kvrt_icones)
if(WIN32)
    target_sources(QEZ_Challenge_KVRT PRIVATE ${KVRT_RC})
    set_source_files_properties(${KVRT_RC} PROPERTIES OBJECT_DEPENDS ${KVRT_ICO})
endif()

option(KVRT_PAQUET_DEBIAN "Install for the Debian package (prefix /usr, program shared and read-only)" OFF)
if(KVRT_PAQUET_DEBIAN)
    # The package's own layout; see the file. The desktop entry below starts the executable there.
    set(KVRT_DOSSIER_PROGRAMME lib/qez-challenge-kvrt)
    include(${CMAKE_CURRENT_SOURCE_DIR}/paquet/paquet.cmake)
else()
    install(TARGETS QEZ_Challenge_KVRT RUNTIME DESTINATION ${KVRT_DOSSIER_PROGRAMME})
    # The plugin of the two web windows, which the program loads from its own folder on first use.
    if(KVRT_MOTEUR_WEB)
        install(TARGETS kvrt_web LIBRARY DESTINATION ${KVRT_DOSSIER_PROGRAMME})
    endif()
    install(FILES ${KVRT_FICHIERS_PROGRAMME} DESTINATION ${KVRT_DOSSIER_PROGRAMME})
    if(EXISTS ${_res}/manuel)
        install(DIRECTORY ${_res}/manuel/ DESTINATION ${KVRT_DOSSIER_PROGRAMME}/manuel FILES_MATCHING PATTERN "*.png")
    endif()
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE DESTINATION ${KVRT_DOSSIER_PROGRAMME})
    # The map is drawn from a CC BY 4.0 file built into the program: its licence goes with it.
    foreach(f LICENSE.md CREDITS.md)
        if(EXISTS ${_res}/carte/${f})
            install(FILES ${_res}/carte/${f} DESTINATION ${KVRT_DOSSIER_PROGRAMME}/licences/carte)
        endif()
    endforeach()
endif()

if(KVRT_INTEGRATION_BUREAU AND UNIX AND NOT APPLE)
    foreach(t ${KVRT_TAILLES_ICONES})
        install(FILES ${KVRT_ICONES_DIR}/${t}x${t}/apps/${KVRT_ID_BUREAU}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${t}x${t}/apps)
    endforeach()
    install(FILES ${_res}/icone/QEZ_Challenge_KVRT.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${KVRT_ID_BUREAU}.svg)
    install(FILES ${_res}/${KVRT_ID_BUREAU}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    # The desktop entry names the executable by its full path, known only once the prefix is
    # (cmake --install --prefix), and bin/ gets a symbolic link to it: the program finds its
    # folder from its real path, so it starts the same through the link.
    install(CODE "
        set(KVRT_ENTREE_SOURCE \"${_res}/${KVRT_ID_BUREAU}.desktop\")
        set(KVRT_ENTREE_NOM \"${KVRT_ID_BUREAU}.desktop\")
        set(KVRT_DOSSIER \"${KVRT_DOSSIER_PROGRAMME}\")
        set(KVRT_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
        set(KVRT_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
        set(KVRT_EXECUTABLE \"QEZ_Challenge_KVRT\")")
    install(SCRIPT ${_res}/installer_entree_bureau.cmake)
endif()
