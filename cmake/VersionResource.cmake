# veltrano_version_resource(<target> <description> <file name>): gives a Windows
# program a version resource with the project's version ("2.11"), which the system's
# file properties and the "Update" program show.
function(veltrano_version_resource target description file_name)
  set(VERSION_DESCRIPTION "${description}")
  set(VERSION_FILE_NAME "${file_name}")
  get_filename_component(VERSION_INTERNAL_NAME "${file_name}" NAME_WE)
  set(rc_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${rc_file} @ONLY)
  target_sources(${target} PRIVATE ${rc_file})
endfunction()

# veltrano_administrator_manifest(<target>): gives a Windows program the application
# manifest cmake/administrator.manifest, which asks for administrator rights, as its
# RT_MANIFEST resource 1 (the one the system reads for an .exe).
function(veltrano_administrator_manifest target)
  set(manifest ${CMAKE_SOURCE_DIR}/cmake/administrator.manifest)
  set(rc_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  file(CONFIGURE OUTPUT ${rc_file} CONTENT "1 24 \"${manifest}\"\n")
  target_sources(${target} PRIVATE ${rc_file})
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS ${manifest})
endfunction()
