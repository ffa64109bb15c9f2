# Run by the help_files target (cmake/Help.cmake) as
#   cmake -DCHMCMD=... -DICONV=... -DSOURCE_DIR=... -DSTAGE_DIR=...
#         -DOUTPUT_DIR=... -DPROJECTS=a,b,c -P CompileHelp.cmake
# Copies the help sources to a staging folder, converts the project, contents
# and index files from UTF-8 to Shift-JIS (code page 932, the code page of a
# Japanese compiled help file), compiles every project with chmcmd and copies
# the .chm files to OUTPUT_DIR. Any error or warning of chmcmd fails the build.

foreach(var CHMCMD ICONV SOURCE_DIR STAGE_DIR OUTPUT_DIR PROJECTS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CompileHelp.cmake: ${var} is not set")
  endif()
endforeach()
string(REPLACE "," ";" PROJECTS "${PROJECTS}")

file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR} ${OUTPUT_DIR})
file(COPY ${SOURCE_DIR}/ DESTINATION ${STAGE_DIR})

file(GLOB project_texts ${STAGE_DIR}/*.hhp ${STAGE_DIR}/*.hhc ${STAGE_DIR}/*.hhk)
foreach(text ${project_texts})
  execute_process(
    COMMAND ${ICONV} -f UTF-8 -t CP932 -o ${text}.sjis ${text}
    RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Could not convert ${text} to Shift-JIS: ${err}")
  endif()
  file(RENAME ${text}.sjis ${text})
endforeach()

foreach(project ${PROJECTS})
  set(chm ${STAGE_DIR}/${project}.chm)
  execute_process(
    COMMAND ${CHMCMD} ${project}.hhp
    WORKING_DIRECTORY ${STAGE_DIR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(report "${out}${err}")
  if(NOT rc EQUAL 0 OR report MATCHES "[Ee]rror|[Ww]arning|[Hh]int:" OR NOT EXISTS ${chm})
    message(FATAL_ERROR "chmcmd failed on ${project}.hhp (exit ${rc}):\n${report}")
  endif()
  file(COPY_FILE ${chm} ${OUTPUT_DIR}/${project}.chm)
endforeach()
