# Helpers that keep CMake out of the way when a file is added to a layer:
# every .cpp in a layer's folder belongs to it, and platform files ending in
# _win32 / _posix are built only on their platform.

function(quillon_filter_platform out)
  set(result)
  foreach(f IN LISTS ARGN)
    if(WIN32 AND f MATCHES "_posix\\.cpp$")
      continue()
    endif()
    if(NOT WIN32 AND f MATCHES "_win32\\.cpp$")
      continue()
    endif()
    list(APPEND result ${f})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
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
  if(files)
    target_link_libraries(${name}-lib PUBLIC quillon-core)
    target_include_directories(${name}-lib PUBLIC ${PROJECT_SOURCE_DIR}/src)
  else()
    target_link_libraries(${name}-lib INTERFACE quillon-core)
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
  if(files)
    add_library(quillon-sim-lib STATIC ${files})
    target_link_libraries(quillon-sim-lib PUBLIC quillon-core)
    target_include_directories(quillon-sim-lib PUBLIC ${PROJECT_SOURCE_DIR})
  else()
    add_library(quillon-sim-lib INTERFACE)
    target_link_libraries(quillon-sim-lib INTERFACE quillon-core)
  endif()
  if(EXISTS ${PROJECT_SOURCE_DIR}/sim/main.cpp)
    add_executable(quillon-sim ${PROJECT_SOURCE_DIR}/sim/main.cpp)
    target_link_libraries(quillon-sim PRIVATE quillon-sim-lib)
  endif()
endfunction()
