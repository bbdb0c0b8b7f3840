# Helpers shared by the folder CMake files.

set(HALCYRA_LIBRARIES "" CACHE INTERNAL "")

# One static library per folder of src/, named hy_<folder>, made of every source in it.
function(halcyra_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp ${PROJECT_SOURCE_DIR}/src/${name}/*.h
       ${PROJECT_SOURCE_DIR}/src/${name}/*.qrc)
  add_library(hy_${name} STATIC ${sources})
  target_include_directories(hy_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/${name})
  target_link_libraries(hy_${name} PUBLIC ${ARGN})
  set(HALCYRA_LIBRARIES ${HALCYRA_LIBRARIES} hy_${name} CACHE INTERNAL "")
endfunction()

# A folder that may not have code yet.
function(halcyra_optional_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  if(sources)
    halcyra_library(${name} ${ARGN})
  endif()
endfunction()

# The GoogleTest executable of one folder, registered with CTest under the folder's label.
function(halcyra_tests name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp ${PROJECT_SOURCE_DIR}/tests/${name}/*.h)
  if(NOT sources OR NOT TARGET hy_${name})
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE hy_${name} hy_testsupport ${ARGN})
  gtest_discover_tests(test_${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${name}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HALCYRA_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
               TIMEOUT 300)
endfunction()
