# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE): every time stamp in the package is the last commit's,
# so two builds of one commit give the same bytes. A SOURCE_DATE_EPOCH already set wins; outside a git checkout (a
# source tarball) the newest changelog entry's date stands in, as in Debian's own builds.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_CORVALO_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT epoch MATCHES "^[0-9]+$")
    execute_process(COMMAND dpkg-parsechangelog -l "${CPACK_CORVALO_SOURCE_DIR}/packaging/changelog" -STimestamp
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "no time for the package: neither git nor dpkg-parsechangelog gave one")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
