# Include roots that hold a target to its layer.
#
# include_root(<target> <PUBLIC|PRIVATE> <folder>...) gives the target one
# include directory in which each listed source folder appears under its
# path below host/ ("host/report/model" as "report/model", "host/data" as
# "data"), or under its last name for folders outside host/ ("appdata"), and
# nothing else of the tree. A file of the target then includes
# "report/model/ReportDefinition.h" only when that group is listed: an include
# that runs to a layer above does not compile.
function(include_root target scope)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${target})
  file(MAKE_DIRECTORY ${root})
  foreach(folder ${ARGN})
    if(folder MATCHES "^host/(.+)$")
      set(name ${CMAKE_MATCH_1})
    else()
      get_filename_component(name ${folder} NAME)
    endif()
    get_filename_component(parent ${root}/${name} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${root}/${name})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${name} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# A shared library must resolve every symbol in itself or in what it links:
# a call into a layer above then fails to link, even without its header.
function(no_undefined_symbols target)
  target_link_options(${target} PRIVATE "LINKER:--no-undefined")
endfunction()
