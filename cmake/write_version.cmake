# Writes OUT, a source file defining vostil::VERSION as scripts/find_version.sh finds it. Run at
# every build; the file is rewritten only when the version changed, so that nothing else is
# rebuilt for it.
# Usage: cmake -DSOURCE_DIR=... -DOUT=... -P write_version.cmake
execute_process(COMMAND bash ${SOURCE_DIR}/scripts/find_version.sh
  OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed OR version STREQUAL "")
  set(version unknown)
endif()
set(text "// Written by the build from scripts/find_version.sh.\nnamespace vostil {\nextern const char VERSION[];\nconst char VERSION[] = \"${version}\";\n}  // namespace vostil\n")
set(old "")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUT} "${text}")
endif()
