# The Windows CE DLL's own bytes run under qemu-user: a loader maps the PE
# file into an ARM Linux process (wince_loader.cpp), applies its base
# relocations and binds its imports to a fake. Included by tests/CMakeLists.txt
# for the windows-ce-arm preset. Every run is named after its processor.
list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 qemu)
set(dir ${CMAKE_CURRENT_SOURCE_DIR}/dll)

# 1. The unit tests of the exports with the DLL's code and records in place
# of the core's objects, on the armel processors (ARMv5TE): the link takes
# them at the addresses they have once the DLL is loaded at `base`, not its
# preferred 0x10000000, so every relocation is applied.
set(base 0x01000000)
add_library(flatplay_wince_loader OBJECT ${dir}/wince_loader.cpp ${dir}/wince_dll_under_test.cpp)
target_link_libraries(flatplay_wince_loader PRIVATE flatplay_test_support)
target_compile_definitions(flatplay_wince_loader PRIVATE FLATPLAY_WINCE_DLL="${FLATPLAY_WINCE_DLL}"
                           FLATPLAY_WINCE_BASE=${base})
# Called by the DLL, which keeps the stack 4-byte aligned.
target_compile_options(flatplay_wince_loader PRIVATE -mstackrealign)
set(objects $<TARGET_OBJECTS:flatplay_export_tests> $<TARGET_OBJECTS:flatplay_test_support>
            $<TARGET_OBJECTS:flatplay_wince_loader>)
find_program(LLVM_NM NAMES llvm-nm llvm-nm-14 REQUIRED)
find_program(LLVM_CXXFILT NAMES llvm-cxxfilt llvm-cxxfilt-14 REQUIRED)
set(symbols ${CMAKE_CURRENT_BINARY_DIR}/wince-dll-symbols.ld)
add_custom_command(OUTPUT ${symbols}
  COMMAND ${dir}/wince-dll-symbols ${LLVM_NM} ${LLVM_CXXFILT} ${FLATPLAY_WINCE_MAP} ${base} ${symbols} ${objects}
  DEPENDS ${dir}/wince-dll-symbols ${FLATPLAY_WINCE_DLL} ${objects} COMMAND_EXPAND_LISTS VERBATIM)
add_custom_target(flatplay_wince_dll_symbols DEPENDS ${symbols})
add_dependencies(flatplay_wince_dll_symbols flatplay)
add_executable(flatplay_wince_dll_tests $<TARGET_OBJECTS:flatplay_wince_loader>)
target_link_libraries(flatplay_wince_dll_tests PRIVATE flatplay_export_tests flatplay_test_support atomic)
target_link_options(flatplay_wince_dll_tests PRIVATE -Wl,--script=${symbols})
set_target_properties(flatplay_wince_dll_tests PROPERTIES LINK_DEPENDS ${symbols})
add_dependencies(flatplay_wince_dll_tests flatplay_wince_dll_symbols)
# A pool player's video window: the CE DLL finds it by its caption itself,
# through GetWindow and GetWindowTextW (CE has no FindWindowExW), where these
# tests expect the FindWindowExW call of the other targets.
set(unlike_ce PlayersTest.TwoVideosInOneWindowEachForwardTheirOwnTapsAndNoControlIsTouched
    PlayersTest.FullScreenReportsTheRenderersAnswerAndComesBackShown VideoTapUnloadTest.FreeLibraryPutsTheOwnProcedureBack)
# The thread's number: the CE DLL reads it from CE's page of user data, not
# from the fake, so a test cannot play a second thread.
list(APPEND unlike_ce PlayersTest.EveryBadHandleIsRefusedByEveryExportBeforeAnythingIsTouched
     PlayersTest.TwoThreadsEachUseTheirOwnPlayers)
list(JOIN unlike_ce : unlike_ce)
foreach(cpu arm926 pxa270)
  add_test(NAME wince-dll.unit-tests.${cpu}
           COMMAND ${qemu} -cpu ${cpu} $<TARGET_FILE:flatplay_wince_dll_tests> --gtest_filter=-${unlike_ce})
endforeach()

# 2. A program without the C library, compiled as CE compiles, for the
# processors armel code cannot run on: ARM code for ARMv4 (StrongARM, no
# BX) and Thumb code for ARMv4T, whose calls into the DLL and the DLL's
# calls back (imports, COM methods, window procedures) then cross states.
foreach(mode arm thumb)
  set(program flatplay_wince_freestanding_${mode})
  add_executable(${program} ${dir}/wince_freestanding.cpp ${dir}/wince_loader.cpp
                 ${PROJECT_SOURCE_DIR}/src/platform/guids.cpp)
  target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_BINARY_DIR}/include
                             ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  set(codegen ${FLATPLAY_WINCE_CODEGEN})
  if(mode STREQUAL arm)
    list(TRANSFORM codegen REPLACE "^-mcpu=.*" "-mcpu=strongarm")
    list(TRANSFORM codegen REPLACE "^--target=armv4t-" "--target=armv4-")
  else()
    list(TRANSFORM codegen REPLACE "^-marm$" "-mthumb")
  endif()
  target_compile_options(${program} PRIVATE ${FLATPLAY_WARNINGS} ${codegen} -Os -ffreestanding -fno-exceptions
                         -fno-rtti -fno-threadsafe-statics -fomit-frame-pointer "SHELL:-isystem ${cxx}"
                         "SHELL:-isystem ${include}/arm-linux-gnueabi/c++/${cxx_version}"
                         "SHELL:-isystem ${include}/arm-linux-gnueabi" "SHELL:-isystem ${include}")
  target_compile_definitions(${program} PRIVATE _GNU_SOURCE)
  target_link_options(${program} PRIVATE -nostdlib -Wl,-e,_start)
endforeach()
set(arm $<TARGET_FILE:flatplay_wince_freestanding_arm>)
set(thumb $<TARGET_FILE:flatplay_wince_freestanding_thumb>)
foreach(cpu sa1110 ti925t)
  add_test(NAME wince-dll.freestanding.${cpu} COMMAND ${qemu} -cpu ${cpu} ${arm} ${FLATPLAY_WINCE_DLL})
  add_test(NAME wince-dll.planted-bx.${cpu} COMMAND ${qemu} -cpu ${cpu} ${arm} ${FLATPLAY_WINCE_DLL} plant-bx)
endforeach()
# StrongARM stops at the first return through a guard without its MOVEQ;
# ARMv4T runs the BX, to ARM state, as the guard's MOVEQ would have.
set_tests_properties(wince-dll.planted-bx.sa1110 PROPERTIES PASS_REGULAR_EXPRESSION "SIGILL: the planted BX")
foreach(cpu ti925t pxa270)
  add_test(NAME wince-dll.thumb-callers.${cpu} COMMAND ${qemu} -cpu ${cpu} ${thumb} ${FLATPLAY_WINCE_DLL})
endforeach()
