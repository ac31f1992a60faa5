# Writes the .def of a system DLL from mingw-w64's x64 import library of it:
# every function it imports (its __imp_ symbols; x64 names are undecorated,
# as ARM's are), and the names in EXTRA (comma-separated), which that
# library lacks.
#   cmake -DNM=llvm-nm -DLIBRARY=libkernel32.a -DDLL=kernel32.dll [-DEXTRA=a,b] -DOUTPUT=kernel32.def -P system-def.cmake
execute_process(COMMAND ${NM} --defined-only -j ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${LIBRARY}")
endif()
string(REGEX MATCHALL "(^|\n)__imp_[^\n]+" imports "${symbols}")
list(TRANSFORM imports REPLACE "^\n?__imp_" "    ")
if(EXTRA)
  string(REPLACE "," ";" EXTRA "${EXTRA}")
  list(TRANSFORM EXTRA PREPEND "    ")
  list(APPEND imports ${EXTRA})
endif()
list(REMOVE_DUPLICATES imports)
list(SORT imports)
if(NOT imports)
  message(FATAL_ERROR "${LIBRARY} imports nothing from ${DLL}")
endif()
list(JOIN imports "\n" exports)
file(WRITE ${OUTPUT}.new "; Made from ${LIBRARY} at build time.\nLIBRARY ${DLL}\nEXPORTS\n${exports}\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
