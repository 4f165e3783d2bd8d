# veltrano_portable_sources(<var>): the absolute paths of the .cpp files of the portable
# engine and platform libraries, for programs built outside CMake's own compiler
# (the build machine's vltool in cross builds, the clang++ fuzz target).
function(veltrano_portable_sources out_var)
  set(sources)
  foreach(library veltrano_engine veltrano_platform)
    get_target_property(library_dir ${library} SOURCE_DIR)
    get_target_property(library_sources ${library} SOURCES)
    foreach(source ${library_sources})
      if(source MATCHES "\\.cpp$")
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${library_dir})
        list(APPEND sources ${source})
      endif()
    endforeach()
  endforeach()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
