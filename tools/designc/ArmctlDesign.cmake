# armctl_add_design(<target> <design file> [COMPILER <executable target>]
#                   [CONFIGURE] [DEPENDS <file or target>...])
#
# Compiles a design source at build time into <stem>_design.cpp and
# <stem>_design.h in the target's binary directory, adds the source to the
# target and the directory to its include path. The compiler (designc unless
# another is named, for example one that knows test unit types) runs again
# whenever the design, the compiler or anything named after DEPENDS changes.
# With CONFIGURE the design is first copied into the binary directory with
# its @VARIABLE@ references replaced, so that it can name files the build
# makes (a picture drawn at build time); relative paths in it are then taken
# from the binary directory.
function(armctl_add_design target design)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "CONFIGURE" "COMPILER" "DEPENDS")
  if(NOT ARG_COMPILER)
    set(ARG_COMPILER designc)
  endif()
  get_filename_component(design_path "${design}" ABSOLUTE)
  get_filename_component(stem "${design}" NAME_WE)
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_design")
  if(ARG_CONFIGURE)
    get_filename_component(design_name "${design}" NAME)
    configure_file("${design_path}" "${out_dir}/${design_name}" @ONLY)
    set(design_path "${out_dir}/${design_name}")
  endif()
  get_filename_component(design_dir "${design_path}" DIRECTORY)
  set(out_cpp "${out_dir}/${stem}_design.cpp")
  set(out_h "${out_dir}/${stem}_design.h")
  add_custom_command(
    OUTPUT "${out_cpp}" "${out_h}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
    COMMAND $<TARGET_FILE:${ARG_COMPILER}> "${design_path}" "${out_cpp}" "${out_h}"
    DEPENDS "${design_path}" ${ARG_COMPILER} ${ARG_DEPENDS}
    WORKING_DIRECTORY "${design_dir}"
    COMMENT "Compiling design ${design}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out_cpp}" "${out_h}")
  target_include_directories(${target} PRIVATE "${out_dir}")
endfunction()
