# The Debian package, built by CPack from an ordinary build configured with
# -DKVRT_PAQUET_DEBIAN=ON and the prefix /usr (scripts/paquet.sh does both).
#
# Installed for every user of the machine, the program folder is read-only: each user's logs,
# template copy and exports go to his own data folder, and the package holds none of them,
# so removing it never touches a log. Layout:
#   /usr/lib/qez-challenge-kvrt/         the program folder: the executable, and links to
#                                        its template, manual, pictures and licences;
#                                        modules/ the plugin of the web windows
#   /usr/share/qez-challenge-kvrt/       the template, the manual and its pictures, licences
#   /usr/bin/QEZ_Challenge_KVRT          a link to the executable
#   /usr/share/applications, icons/hicolor, metainfo, man/man1, doc/qez-challenge-kvrt

set(KVRT_PAQUET qez-challenge-kvrt)
# The package manager owns the program folder: even root's logs go to root's own folder.
target_compile_definitions(kvrt_module PRIVATE KVRT_PROGRAMME_PARTAGE)
target_compile_definitions(kvrt_app PRIVATE KVRT_PROGRAMME_PARTAGE)
set(_prive lib/${KVRT_PAQUET})
set(_partage ${CMAKE_INSTALL_DATADIR}/${KVRT_PAQUET})
set(_doc ${CMAKE_INSTALL_DATADIR}/doc/${KVRT_PAQUET})
set(_ici ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS QEZ_Challenge_KVRT RUNTIME DESTINATION ${_prive})
# The plugin of the two web windows, loaded on first use. Directly in /usr/lib/<package> it
# would make CPack add ldconfig calls to the maintainer scripts, which lintian rejects.
install(TARGETS kvrt_web LIBRARY DESTINATION ${_prive}/modules)
install(FILES ${KVRT_FICHIERS_PROGRAMME} DESTINATION ${_partage})
install(DIRECTORY ${_res}/manuel/ DESTINATION ${_partage}/manuel FILES_MATCHING PATTERN "*.png")
foreach(f LICENSE.md CREDITS.md)
    install(FILES ${_res}/carte/${f} DESTINATION ${_partage}/licences/carte)
endforeach()
install(FILES ${_ici}/copyright DESTINATION ${_doc})

# The program finds its files beside its executable: relative links to the shared data, and
# the GPL that every Debian system already has in place of a copy of LICENSE.
install(CODE "
    set(_dossier \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${_prive}\")
    file(MAKE_DIRECTORY \"\${_dossier}\")
    foreach(_lien FXXXX_Challenge_KVRT.txt QEZ_Challenge.hlp manuel licences)
        message(STATUS \"Installing: \${_dossier}/\${_lien}\")
        file(REMOVE \"\${_dossier}/\${_lien}\")
        file(CREATE_LINK \"../../${_partage}/\${_lien}\" \"\${_dossier}/\${_lien}\" SYMBOLIC)
    endforeach()
    file(REMOVE \"\${_dossier}/LICENSE\")
    file(CREATE_LINK \"../../${CMAKE_INSTALL_DATADIR}/common-licenses/GPL-3\" \"\${_dossier}/LICENSE\" SYMBOLIC)

    # Debian wants the change log and the manual page compressed, without a time stamp.
    foreach(_paire \"${_ici}/changelog|${_doc}/changelog.gz\" \"${_ici}/QEZ_Challenge_KVRT.1|${CMAKE_INSTALL_MANDIR}/man1/QEZ_Challenge_KVRT.1.gz\")
        string(REPLACE \"|\" \";\" _paire \"\${_paire}\")
        list(GET _paire 0 _source)
        list(GET _paire 1 _cible)
        set(_cible \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${_cible}\")
        get_filename_component(_parent \"\${_cible}\" DIRECTORY)
        file(MAKE_DIRECTORY \"\${_parent}\")
        message(STATUS \"Installing: \${_cible}\")
        execute_process(COMMAND gzip -9 -n -c \"\${_source}\" OUTPUT_FILE \"\${_cible}\" RESULT_VARIABLE _code)
        if(NOT _code EQUAL 0)
            message(FATAL_ERROR \"gzip a échoué sur \${_source}\")
        endif()
        file(CHMOD \"\${_cible}\" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endforeach()
")

# cpack installs what scripts/paquet.sh has built, the program and its icons, not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${KVRT_PAQUET})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The desktop entry is written with the executable's final path, known only with the prefix.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Les auteurs de QEZ_Challenge_KVRT <qez-challenge-kvrt@example.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kvrt.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "logbook for the Challenge KVRT castle contest (French)")
# The synopsis above, then this text; CPack indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "QEZ_Challenge_KVRT keeps the log of an amateur-radio station for the
Challenge KVRT, the yearly contest of contacts with castles. The operator
types each QSO field by field; the program checks each field, warns about
a castle already contacted, writes the QSO at once to a plain text log in
fixed columns and counts the points.

It also gives a summary, charts of the season, the list of contacted
castles (shown, printed or saved), a search, a map of the departements,
the contest's web pages, the undo of every change of the log, and the
exchange of QSOs with other logging programs in ADIF.
Its interface, messages and manual are in French. Each user keeps his logs
in his own folder, ~/.local/share/Challenge_KVRT/QEZ_Challenge_KVRT.")
# dpkg-shlibdeps finds the libraries the executable links to; what Qt loads at run time is
# named here: the French translations, the web engine's helper process, and the icon theme
# whose index tells Qt where the window icon's pictures are.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, libqt6webenginecore6-bin, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
