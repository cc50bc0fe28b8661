# GIF saving: the octree reduction kernel (Google Benchmark) and a driver that
# converts a picture file to GIF the way the editor saves one (compare_gif.sh).
add_executable(quantize_bench ${CMAKE_CURRENT_LIST_DIR}/quantize_bench.cpp)
target_link_libraries(quantize_bench PRIVATE velmira_processing velmira_formats benchmark::benchmark)
add_executable(gif_driver ${CMAKE_CURRENT_LIST_DIR}/gif_driver.cpp)
target_link_libraries(gif_driver PRIVATE velmira_processing velmira_formats)
