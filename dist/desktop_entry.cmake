# Run by `cmake --install`: writes the desktop entry with the program's path
# as installed (the prefix given to --install counts), so that the entry
# starts it wherever it went: /usr/games, say, is not on every session's PATH.
#   KAZE_DESKTOP_SOURCE  the entry as written, with Exec=kaze
#   KAZE_DESKTOP_OUTPUT  where the installed copy is written first
#   KAZE_BINDIR          the program's folder, relative to the prefix or absolute
if(IS_ABSOLUTE "${KAZE_BINDIR}")
  set(program "${KAZE_BINDIR}/kaze")
else()
  set(program "${CMAKE_INSTALL_PREFIX}/${KAZE_BINDIR}/kaze")
endif()
# The Exec key quotes a path with a space in it.
if(program MATCHES " ")
  set(program "\"${program}\"")
endif()
file(READ "${KAZE_DESKTOP_SOURCE}" entry)
string(REGEX REPLACE "\nExec=kaze\n" "\nExec=${program}\n" entry "${entry}")
if(NOT entry MATCHES "\nExec=")
  message(FATAL_ERROR "${KAZE_DESKTOP_SOURCE}: no Exec line")
endif()
file(WRITE "${KAZE_DESKTOP_OUTPUT}" "${entry}")
