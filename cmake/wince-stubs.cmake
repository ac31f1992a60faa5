# Writes the guards of the Windows CE DLL's BX (see wince-arm-cc), one per
# register, each in a section of its own so that the link keeps only those
# used, and the call stubs of its imports: for every function in the given
# .def files, NAME loads the address the loader put in its import slot
# (__imp_NAME) and jumps there through the guard, so that an ARMv4I system
# whose function is Thumb code is entered in Thumb state, and an ARMv4 one
# never meets a BX. The import library's own stubs would load the PC
# directly, which enters ARM state whatever the address says.
#   cmake -DDEFS=a.def;b.def -DOUTPUT=stubs.s -P wince-stubs.cmake
set(text "@ Made from ${DEFS} at build time by cmake/wince-stubs.cmake.\n\t.syntax unified\n")
foreach(reg r0 r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 r11 r12 ip lr)
  string(APPEND text "\t.section\t.text$__flatplay_bx_${reg},\"xr\"\n\t.globl\t__flatplay_bx_${reg}\n\t.p2align\t2\n"
         "__flatplay_bx_${reg}:\n\ttst\t${reg}, #1\n\tmoveq\tpc, ${reg}\n\tbx\t${reg}\n")
endforeach()
foreach(def IN LISTS DEFS)
  file(STRINGS ${def} lines REGEX "^[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+DATA")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]+([A-Za-z0-9_]+).*" "\\1" name "${line}")
    string(APPEND text "\t.section\t.text$${name},\"xr\"\n\t.globl\t${name}\n\t.p2align\t2\n${name}:\n"
           "\tldr\tip, 1f\n\tldr\tip, [ip]\n\tb\t__flatplay_bx_ip\n1:\t.long\t__imp_${name}\n")
  endforeach()
endforeach()
file(WRITE ${OUTPUT}.new "${text}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
