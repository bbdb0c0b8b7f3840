# Helpers shared by the folder CMake files.

set(HALCYRA_LIBRARIES "" CACHE INTERNAL "")

# One static library per folder of src/, made of every source in it, named hy_<folder> with "/"
# as "_": a folder of concerns (output, sideviews) holds no code of its own, and each of its
# folders is a library (src/output/pages is hy_output_pages). A library sees the headers of the
# libraries it links and of no other, so an include against the layers does not compile.
function(halcyra_library name)
  string(REPLACE "/" "_" target hy_${name})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp ${PROJECT_SOURCE_DIR}/src/${name}/*.h
       ${PROJECT_SOURCE_DIR}/src/${name}/*.qrc)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src/${name})
  target_link_libraries(${target} PUBLIC ${ARGN})
  set(HALCYRA_LIBRARIES ${HALCYRA_LIBRARIES} ${target} CACHE INTERNAL "")
endfunction()

# A folder that may not have code yet.
function(halcyra_optional_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  if(sources)
    halcyra_library(${name} ${ARGN})
  endif()
endfunction()

# The GoogleTest executable of one folder, registered with CTest under the folder's label, linked
# with the folder's library or, for a folder of concerns, with the libraries of its folders.
function(halcyra_tests name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp ${PROJECT_SOURCE_DIR}/tests/${name}/*.h)
  set(libraries ${HALCYRA_LIBRARIES})
  list(FILTER libraries INCLUDE REGEX "^hy_${name}(_.+)?$")
  if(NOT sources OR NOT libraries)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${libraries} hy_testsupport ${ARGN})
  gtest_discover_tests(test_${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${name}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HALCYRA_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
               TIMEOUT 300)
endfunction()
