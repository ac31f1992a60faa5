# Writes the call stubs of the Windows CE DLL's imports: for every function
# in the given .def files, NAME loads the address the loader put in its
# import slot (__imp_NAME) and jumps there through the guarded BX (see
# wince-arm-cc), so that an ARMv4I system whose function is Thumb code is
# entered in Thumb state, and an ARMv4 one never meets a BX. The import
# library's own stubs would load the PC directly, which enters ARM state
# whatever the address says.
#   cmake -DDEFS=a.def;b.def -DOUTPUT=stubs.s -P wince-stubs.cmake
set(text "@ Made from ${DEFS} at build time by cmake/wince-stubs.cmake.\n\t.syntax unified\n")
foreach(def IN LISTS DEFS)
  file(STRINGS ${def} lines REGEX "^[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+DATA")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]+([A-Za-z0-9_]+).*" "\\1" name "${line}")
    string(APPEND text "\t.section\t.text$${name},\"xr\"\n\t.globl\t${name}\n\t.p2align\t2\n${name}:\n"
           "\tldr\tip, 1f\n\tldr\tip, [ip]\n\ttst\tip, #1\n\tmoveq\tpc, ip\n\tbx\tip\n1:\t.long\t__imp_${name}\n")
  endforeach()
endforeach()
file(WRITE ${OUTPUT}.new "${text}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
