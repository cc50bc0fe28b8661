add_executable(filters_bench ${CMAKE_CURRENT_SOURCE_DIR}/filters_bench.cpp)
target_include_directories(filters_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(filters_bench PRIVATE velmira_processing benchmark::benchmark)
