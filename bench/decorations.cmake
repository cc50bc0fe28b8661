# Drawing a long text through the Qt rasterizer and a frame around a 24-megapixel
# canvas (run with QT_QPA_PLATFORM=offscreen or none: the rasterizer starts its own).
add_executable(decorations_bench ${CMAKE_CURRENT_LIST_DIR}/decorations_bench.cpp)
target_link_libraries(decorations_bench PRIVATE velmira_decorations velmira_tools velmira_text_qt benchmark::benchmark)
