# Fill, wand, colour range and brush kernels (compare_tools.sh times the whole
# velmira-cli fill against ImageMagick's flood fill).
add_executable(tools_bench ${CMAKE_CURRENT_LIST_DIR}/tools_bench.cpp)
target_link_libraries(tools_bench PRIVATE velmira_tools benchmark::benchmark)
