# Writes and installs the desktop entry; run at install time with
# TATEYOKO_ID, ENTRY_TEMPLATE, ENTRY_OUTPUT and APP_FOLDER (the installed
# program's folder, without DESTDIR).

get_filename_component(APP_FOLDER "${APP_FOLDER}" ABSOLUTE)
set(program "${APP_FOLDER}/tateyokom")

# Exec= is quoted: inside the quotes " ` $ \ take a backslash; then, as in
# every string of the file, a backslash is written twice, and % as %%.
string(REPLACE "\\" "\\\\" quoted "${program}")
foreach(special "\"" "`" "$")
  string(REPLACE "${special}" "\\${special}" quoted "${quoted}")
endforeach()
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(DESKTOP_EXEC "\"${quoted}\"")
string(REPLACE "\\" "\\\\" DESKTOP_PATH "${APP_FOLDER}")
set(DESKTOP_TRYEXEC "${DESKTOP_PATH}/tateyokom")

configure_file("${ENTRY_TEMPLATE}" "${ENTRY_OUTPUT}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
  FILES "${ENTRY_OUTPUT}")
