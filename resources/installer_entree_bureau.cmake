# Runs at install time (see installation.cmake): writes the desktop entry with the executable's
# full path and makes the launcher link in bin/. Honours DESTDIR and the install manifest.

function(kvrt_absolu dossier sortie)
    if(IS_ABSOLUTE "${dossier}")
        set(${sortie} "${dossier}" PARENT_SCOPE)
    else()
        set(${sortie} "${CMAKE_INSTALL_PREFIX}/${dossier}" PARENT_SCOPE)
    endif()
endfunction()

kvrt_absolu("${KVRT_DOSSIER}" _programme)
kvrt_absolu("${KVRT_BINDIR}" _bin)
kvrt_absolu("${KVRT_DATADIR}/applications" _applications)
set(_executable "${_programme}/${KVRT_EXECUTABLE}")

# Exec takes a command line: a path with blanks or other reserved characters goes between
# double quotes, with ", `, $ and \ escaped, and the whole value escapes \ once more as
# every desktop-entry string does; % is doubled as it would start a field code.
string(REGEX MATCH "^[A-Za-z0-9_./+,:@=-]+$" _simple "${_executable}")
if(_simple)
    set(_exec "${_executable}")
else()
    string(REPLACE "\\" "\\\\" _exec "${_executable}")
    string(REPLACE "\"" "\\\"" _exec "${_exec}")
    string(REPLACE "`" "\\`" _exec "${_exec}")
    string(REPLACE "$" "\\$" _exec "${_exec}")
    set(_exec "\"${_exec}\"")
    string(REPLACE "\\" "\\\\" _exec "${_exec}")
endif()
string(REPLACE "%" "%%" _exec "${_exec}")
string(REPLACE "\\" "\\\\" _tryexec "${_executable}")

# A regular-expression replacement reads \ in its replacement text: double them first.
string(REPLACE "\\" "\\\\" _exec_remplacement "${_exec}")
string(REPLACE "\\" "\\\\" _tryexec_remplacement "${_tryexec}")
file(READ "${KVRT_ENTREE_SOURCE}" _entree)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=${_exec_remplacement}" _entree "${_entree}")
string(REGEX REPLACE "\nTryExec=[^\n]*" "\nTryExec=${_tryexec_remplacement}" _entree "${_entree}")

set(_destination "$ENV{DESTDIR}${_applications}/${KVRT_ENTREE_NOM}")
message(STATUS "Installing: ${_destination}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${_applications}")
file(WRITE "${_destination}" "${_entree}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_destination}")

# The launcher: a relative link, so that the tree may be moved or staged under DESTDIR.
set(_lien "$ENV{DESTDIR}${_bin}/${KVRT_EXECUTABLE}")
file(RELATIVE_PATH _cible "${_bin}" "${_executable}")
message(STATUS "Installing: ${_lien} -> ${_cible}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${_bin}")
if(IS_SYMLINK "${_lien}" OR EXISTS "${_lien}")
    file(REMOVE "${_lien}")
endif()
file(CREATE_LINK "${_cible}" "${_lien}" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_lien}")
