# Copies the program's own files (SRC) beside the executables (DST).
if(EXISTS ${SRC})
  file(COPY ${SRC}/ DESTINATION ${DST})
endif()
