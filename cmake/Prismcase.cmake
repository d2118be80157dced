# Shared build helpers.

# A library made of every .cpp in its folder.
function(prismcase_library name)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$") # entry points belong to executables
  if(srcs)
    file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${srcs} ${hdrs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
  endif()
endfunction()

# Puts OSMesa first among the executable's needed libraries so its gl* symbols
# win over libOpenGL, which Qt pulls in.
function(prismcase_gl_first target)
  target_link_options(${target} BEFORE PRIVATE -Wl,--no-as-needed -lOSMesa -lGLU -Wl,--as-needed)
endfunction()

# One test program per folder of tests: every test_*.cpp in it.
function(prismcase_test_folder name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  add_executable(${name} ${srcs} ${support} ${CMAKE_SOURCE_DIR}/tests/test_main.cpp)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    PRISMCASE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    PRISMCASE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  prismcase_gl_first(${name})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;GALLIUM_DRIVER=llvmpipe;LP_NUM_THREADS=2"
               TIMEOUT 300)
endfunction()

# Links a library made by prismcase_library, whether it has sources yet or not.
function(prismcase_link name)
  get_target_property(type ${name} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${name} INTERFACE ${ARGN})
  else()
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()
