# zt_add_version_resource(target): links the program's version resource and
# application manifest into a Windows executable, so the program (or a
# test program) can read its own "FileVersion" back.
function(zt_add_version_resource target)
  if(NOT WIN32)
    return()
  endif()
  set(ZENTORA_MANIFEST ${PROJECT_SOURCE_DIR}/src/app/ZentoraTiming.manifest)
  set(ZENTORA_ICON ${PROJECT_SOURCE_DIR}/packaging/ZentoraTiming.ico)
  set(ZENTORA_EXE_NAME ${target}.exe)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/src/app/ZentoraTiming.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  if(MSVC)
    # The resource carries the manifest; the linker must not add its own.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
