# Geometric transform kernels (compare_transforms.sh times the whole velmira-cli
# process against ImageMagick and libvips).
add_executable(transforms_bench ${CMAKE_CURRENT_LIST_DIR}/transforms_bench.cpp)
target_link_libraries(transforms_bench PRIVATE velmira_processing benchmark::benchmark)
