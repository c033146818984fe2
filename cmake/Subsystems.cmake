# sg2_add_subsystem(NAME [EXCLUDE file...]): a static library of every .cpp in the calling
# directory (main.cpp excepted), include root at the repository top.
function(sg2_add_subsystem name)
    cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    foreach(excluded ${ARG_EXCLUDE})
        list(FILTER sources EXCLUDE REGEX "/${excluded}$")
    endforeach()
    if(NOT sources)
        set(placeholder ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
        file(WRITE ${placeholder} "namespace { [[maybe_unused]] int emptyUnit; }\n")
        set(sources ${placeholder})
    endif()
    add_library(sg2_${name} STATIC ${sources})
    target_include_directories(sg2_${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# sg2_add_test_dir(NAME): tests/NAME/*.cpp become one GoogleTest program test_NAME.
function(sg2_add_test_dir name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(test_${name} ${sources})
    target_link_libraries(test_${name} PRIVATE sg2_all sg2_testsupport GTest::gtest_main)
    gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "SG2_SOURCE_DIR=${PROJECT_SOURCE_DIR};SG2_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# sg2_add_bench_dir(NAME): bench/NAME/*.cpp become one Google Benchmark program bench_NAME.
function(sg2_add_bench_dir name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(bench_${name} ${sources})
    target_link_libraries(bench_${name} PRIVATE sg2_all benchmark::benchmark_main)
endfunction()
