add_executable(compose_bench ${CMAKE_CURRENT_SOURCE_DIR}/compose_bench.cpp)
target_link_libraries(compose_bench PRIVATE velmira_image benchmark::benchmark)
