add_executable(history_bench ${CMAKE_CURRENT_SOURCE_DIR}/history_bench.cpp)
target_link_libraries(history_bench PRIVATE velmira_image benchmark::benchmark)
