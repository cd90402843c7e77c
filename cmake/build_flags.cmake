# Warnings and sanitizers: every target the project compiles links corvalo_build_flags, so no flag reaches code the
# project only uses, and corvalo_check_build_flags() at the end of the configure names any target that forgot.
set(CORVALO_WARNINGS -Wall -Wextra)
add_library(corvalo_build_flags INTERFACE)
target_compile_options(corvalo_build_flags INTERFACE ${CORVALO_WARNINGS})
# No build path reaches the objects (debug information, __FILE__), so the same sources built in any two folders give
# the same bytes; a debugger run from the project root still finds the sources. The build folder comes last: it may
# lie inside the sources, and the last map that matches wins.
target_compile_options(corvalo_build_flags INTERFACE
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
# Every relocation resolved at start-up, so the relocation table can stay read-only for the whole run.
target_link_options(corvalo_build_flags INTERFACE -Wl,-z,relro,-z,now)
if(CORVALO_SANITIZE)
  # Test programs (CORVALO_TEST_PROGRAM set) run little of their own code, next to the slower checked code they test:
  # unoptimised, they compile a third faster and the suite runs no slower.
  target_compile_options(corvalo_build_flags INTERFACE
    $<IF:$<BOOL:$<TARGET_PROPERTY:CORVALO_TEST_PROGRAM>>,-O0,-O1>
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(corvalo_build_flags INTERFACE -fsanitize=address,undefined)
  target_compile_definitions(corvalo_build_flags INTERFACE CORVALO_SANITIZE=1)
endif()

# corvalo_check_build_flags([DIR]): fails the configure on a target under DIR (the project's root when not given)
# that compiles without linking corvalo_build_flags.
function(corvalo_check_build_flags)
  set(dir ${PROJECT_SOURCE_DIR})
  if(ARGC GREATER 0)
    set(dir ${ARGV0})
  endif()
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    get_target_property(libs ${target} LINK_LIBRARIES)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$"
       AND NOT corvalo_build_flags IN_LIST libs)
      message(FATAL_ERROR "${target} (${dir}) does not link corvalo_build_flags: it would build without the "
                          "project's warnings and sanitizers")
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    corvalo_check_build_flags(${subdir})
  endforeach()
endfunction()
