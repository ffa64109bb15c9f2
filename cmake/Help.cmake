# The help files beside the program, compiled from the HTML pages in help/:
#   masumev15.chm      the program's help (F1, "お助け(F1)")
#   TateyokoM01.chm    the same pages, opening at the qualification check page
#   Jouken_setM15.chm  the settings dialog's help
# Needs APP_DIR, the folder the program is built into.

find_program(CHMCMD_EXECUTABLE chmcmd)
if(NOT CHMCMD_EXECUTABLE)
  message(FATAL_ERROR
    "chmcmd was not found. It compiles the help files (.chm) and comes with "
    "Free Pascal's utilities: on Debian install the package fp-utils "
    "(apt-get install fp-utils), or run tools/packages.sh's install_missing.")
endif()
# Contents and index files are written in UTF-8 and handed to chmcmd in the
# Japanese code page, which is how help viewers read them.
find_program(ICONV_EXECUTABLE iconv)
if(NOT ICONV_EXECUTABLE)
  message(FATAL_ERROR "iconv was not found; it is needed to build the help files "
    "(on Debian it is part of libc-bin).")
endif()

set(HELP_SOURCE_DIR ${CMAKE_SOURCE_DIR}/help)
set(HELP_STAGE_DIR ${CMAKE_BINARY_DIR}/help-stage)
set(HELP_PROJECTS masumev15 TateyokoM01 Jouken_setM15)

file(GLOB_RECURSE HELP_SOURCES CONFIGURE_DEPENDS ${HELP_SOURCE_DIR}/*)
set(HELP_OUTPUTS)
foreach(help_project ${HELP_PROJECTS})
  list(APPEND HELP_OUTPUTS ${APP_DIR}/${help_project}.chm)
endforeach()
# A list cannot travel through one command-line argument; commas can.
string(REPLACE ";" "," HELP_PROJECT_ARG "${HELP_PROJECTS}")

add_custom_command(
  OUTPUT ${HELP_OUTPUTS}
  COMMAND ${CMAKE_COMMAND}
    -DCHMCMD=${CHMCMD_EXECUTABLE}
    -DICONV=${ICONV_EXECUTABLE}
    -DSOURCE_DIR=${HELP_SOURCE_DIR}
    -DSTAGE_DIR=${HELP_STAGE_DIR}
    -DOUTPUT_DIR=${APP_DIR}
    -DPROJECTS=${HELP_PROJECT_ARG}
    -P ${CMAKE_SOURCE_DIR}/cmake/CompileHelp.cmake
  DEPENDS ${HELP_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/CompileHelp.cmake
  COMMENT "Compiling the help files masumev15.chm, TateyokoM01.chm, Jouken_setM15.chm"
  VERBATIM)
add_custom_target(help_files ALL DEPENDS ${HELP_OUTPUTS})
