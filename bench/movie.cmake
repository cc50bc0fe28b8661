add_executable(movie_bench ${CMAKE_CURRENT_SOURCE_DIR}/movie_bench.cpp)
target_link_libraries(movie_bench PRIVATE velmira_movie benchmark::benchmark)
