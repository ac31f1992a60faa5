# The SDK's text: its README.md, from a template, and the pages of docs/ a
# host needs, each for one processor. Included by sdk.cmake and
# wince-dll.cmake.
#
# Within a page, a line "<!-- processors: x64 x86 -->" starts text for the
# processors it names ("all": every one), up to the next such line; text
# marked for no processor of a ZIP ("source") stays in the sources' page.

function(flatplay_text_for processor text out)
  set(marker "<!-- processors: ")
  set(kept "")
  set(keep TRUE)
  while(TRUE)
    string(FIND "${text}" "${marker}" at)
    if(at EQUAL -1)
      break()
    endif()
    string(SUBSTRING "${text}" 0 ${at} before)
    if(keep)
      string(APPEND kept "${before}")
    endif()
    string(SUBSTRING "${text}" ${at} -1 text)
    string(FIND "${text}" " -->\n" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "a \"${marker}\" line without \" -->\"")
    endif()
    string(LENGTH "${marker}" skip)
    math(EXPR names_length "${end} - ${skip}")
    string(SUBSTRING "${text}" ${skip} ${names_length} names)
    separate_arguments(names UNIX_COMMAND "${names}")
    if(processor IN_LIST names OR "all" IN_LIST names)
      set(keep TRUE)
    else()
      set(keep FALSE)
    endif()
    math(EXPR end "${end} + 5")
    string(SUBSTRING "${text}" ${end} -1 text)
  endwhile()
  if(keep)
    string(APPEND kept "${text}")
  endif()
  set(${out} "${kept}" PARENT_SCOPE)
endfunction()

# flatplay_sdk_text(PROCESSOR PROCESSOR_NAME TEMPLATE PAGE...): the ZIP's
# README.md from TEMPLATE, with @FLATPLAY_VERSION@, @FLATPLAY_PROCESSOR@
# and @FLATPLAY_HOST_ON_PLAYERS@ (the project README's section "A host on
# players") replaced, and docs/PAGE.md for each PAGE, in
# ${PROJECT_BINARY_DIR}/sdk-text, installed at the ZIP's top. Replaced
# by name, not by configure_file, which would also take the "@...@" of a
# decorated name (?GetPlayPosition@@YAJPA_J0@Z) for a variable.
function(flatplay_sdk_text processor processor_name template)
  set(text_dir ${PROJECT_BINARY_DIR}/sdk-text)
  set(readme ${PROJECT_SOURCE_DIR}/README.md)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${readme} ${template})
  file(READ ${readme} text)
  string(FIND "${text}" "\n## A host on players\n" from)
  if(from EQUAL -1)
    message(FATAL_ERROR "README.md: no section \"A host on players\"")
  endif()
  math(EXPR from "${from} + 1")
  string(SUBSTRING "${text}" ${from} -1 section)
  string(FIND "${section}" "\n## " to)
  string(SUBSTRING "${section}" 0 ${to} section)
  file(READ ${template} text)
  string(REPLACE "@FLATPLAY_VERSION@" "${PROJECT_VERSION}" text "${text}")
  string(REPLACE "@FLATPLAY_PROCESSOR@" "${processor_name}" text "${text}")
  string(REPLACE "@FLATPLAY_HOST_ON_PLAYERS@" "${section}" text "${text}")
  file(WRITE ${text_dir}/README.md "${text}")
  install(FILES ${text_dir}/README.md DESTINATION .)
  foreach(page IN LISTS ARGN)
    set(source ${PROJECT_SOURCE_DIR}/docs/${page}.md)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(READ ${source} text)
    flatplay_text_for(${processor} "${text}" text)
    file(WRITE ${text_dir}/docs/${page}.md "${text}")
    install(FILES ${text_dir}/docs/${page}.md DESTINATION docs)
  endforeach()
endfunction()
