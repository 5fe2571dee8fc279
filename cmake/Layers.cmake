# Helpers that keep CMake out of the way when a file is added to a layer:
# every .cpp in a layer's folder belongs to it, and platform files ending in
# _win32 / _posix (their tests in _win32_test / _posix_test) are built only on
# their platform.

function(quillon_filter_platform out)
  set(result)
  foreach(f IN LISTS ARGN)
    if(WIN32 AND f MATCHES "_posix(_test)?\\.cpp$")
      continue()
    endif()
    if(NOT WIN32 AND f MATCHES "_win32(_test)?\\.cpp$")
      continue()
    endif()
    list(APPEND result ${f})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# One static library per layer of the core, quillon-<dir>, linking only the
# layers below it. Each layer is seen through an include root of its own in
# the build tree (build/layers/<dir>/<dir> -> src/<dir>), and a library gets
# only its own root and those of the layers it links: an #include of a
# layer above does not compile.
function(quillon_layer_root out dir)
  set(root ${PROJECT_BINARY_DIR}/layers/${dir})
  if(NOT EXISTS ${root}/${dir})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${dir} ${root}/${dir} SYMBOLIC COPY_ON_ERROR)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

function(quillon_add_layer dir)
  cmake_parse_arguments(L "" "" "DEPS;EXTRA_SOURCES;EXCLUDE" ${ARGN})
  quillon_glob_layer(files ${dir})
  foreach(pattern IN LISTS L_EXCLUDE)
    list(FILTER files EXCLUDE REGEX "${pattern}")
  endforeach()
  quillon_layer_root(root ${dir})
  add_library(quillon-${dir} STATIC ${files} ${L_EXTRA_SOURCES})
  target_include_directories(quillon-${dir} PUBLIC ${root})
  target_link_libraries(quillon-${dir} PUBLIC ${L_DEPS})
endfunction()

# The wire protocol the host's link and the virtual target share (command
# frames, the control program's commands, the CRC), header only: the only
# part of link/ the virtual target sees.
function(quillon_add_link_protocol)
  set(root ${PROJECT_BINARY_DIR}/layers/link-protocol)
  file(MAKE_DIRECTORY ${root}/link)
  foreach(header command_frame.hpp control_commands.hpp crc16.hpp)
    if(NOT EXISTS ${root}/link/${header})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/link/${header} ${root}/link/${header}
           SYMBOLIC COPY_ON_ERROR)
    endif()
  endforeach()
  add_library(quillon-link-protocol INTERFACE)
  target_include_directories(quillon-link-protocol INTERFACE ${root})
endfunction()

function(quillon_glob_layer out)
  set(all)
  foreach(layer IN LISTS ARGN)
    file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.cpp)
    list(APPEND all ${files})
  endforeach()
  quillon_filter_platform(all ${all})
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# The message catalog lives as text under res/ and is compiled in, so that a
# program moved alone still speaks.
set(QUILLON_CATALOG_TXT ${PROJECT_SOURCE_DIR}/res/catalog.txt)
set(QUILLON_CATALOG_CPP ${PROJECT_BINARY_DIR}/generated/catalog_data.cpp)
add_custom_command(
  OUTPUT ${QUILLON_CATALOG_CPP}
  COMMAND ${CMAKE_COMMAND} -DIN=${QUILLON_CATALOG_TXT} -DOUT=${QUILLON_CATALOG_CPP}
          -P ${PROJECT_SOURCE_DIR}/cmake/EmbedCatalog.cmake
  DEPENDS ${QUILLON_CATALOG_TXT} ${PROJECT_SOURCE_DIR}/cmake/EmbedCatalog.cmake
  COMMENT "Embedding the message catalog")

# A front end: src/<dir>/*.cpp except main.cpp form a library (so tests can
# reach them), main.cpp the program.
function(quillon_add_program name dir)
  file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp)
  quillon_filter_platform(files ${files})
  list(FILTER files EXCLUDE REGEX "/main\\.cpp$")
  if(files)
    add_library(${name}-lib STATIC ${files})
  else()
    add_library(${name}-lib INTERFACE)
  endif()
  quillon_layer_root(root ${dir})
  find_package(Threads REQUIRED)
  if(files)
    target_link_libraries(${name}-lib PUBLIC quillon-app Threads::Threads)
    target_include_directories(${name}-lib PUBLIC ${root})
  else()
    target_link_libraries(${name}-lib INTERFACE quillon-app)
  endif()
  if(EXISTS ${PROJECT_SOURCE_DIR}/src/${dir}/main.cpp)
    add_executable(${name} ${PROJECT_SOURCE_DIR}/src/${dir}/main.cpp)
    target_link_libraries(${name} PRIVATE ${name}-lib)
  endif()
endfunction()

function(quillon_add_sim)
  file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/sim/*.cpp)
  quillon_filter_platform(files ${files})
  list(FILTER files EXCLUDE REGEX "/main\\.cpp$")
  # The virtual target plays the chip with the host's chip tables and wire
  # protocol, never with the host's link, operations or controller.
  set(sim_deps quillon-config quillon-link-protocol)
  if(files)
    add_library(quillon-sim-lib STATIC ${files})
    target_link_libraries(quillon-sim-lib PUBLIC ${sim_deps})
    target_include_directories(quillon-sim-lib PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(quillon-sim-lib PRIVATE QUILLON_PACKAGE_VERSION="${PROJECT_VERSION}")
  else()
    add_library(quillon-sim-lib INTERFACE)
    target_link_libraries(quillon-sim-lib INTERFACE ${sim_deps})
  endif()
  if(EXISTS ${PROJECT_SOURCE_DIR}/sim/main.cpp)
    add_executable(quillon-sim ${PROJECT_SOURCE_DIR}/sim/main.cpp)
    target_link_libraries(quillon-sim PRIVATE quillon-sim-lib)
  endif()
endfunction()

# The desktop program's include roots. Its toolkit-neutral models are seen
# header by header (build/layers/gui-model/gui/<header>), so that a model
# cannot reach into a view; each view's folder has a root of its own
# (build/layers/gui-<view>/gui/<view>), so that one view cannot see another.
function(quillon_gui_model_root out)
  set(root ${PROJECT_BINARY_DIR}/layers/gui-model)
  file(MAKE_DIRECTORY ${root}/gui)
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/gui/*.hpp)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    if(NOT EXISTS ${root}/gui/${name})
      file(CREATE_LINK ${header} ${root}/gui/${name} SYMBOLIC COPY_ON_ERROR)
    endif()
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

function(quillon_gui_view_root out view)
  set(root ${PROJECT_BINARY_DIR}/layers/gui-${view})
  if(NOT EXISTS ${root}/gui/${view})
    file(MAKE_DIRECTORY ${root}/gui)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/gui/${view} ${root}/gui/${view}
         SYMBOLIC COPY_ON_ERROR)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()
