# The image view's repaint benchmark (needs Qt; runs on the offscreen platform).
include(${PROJECT_SOURCE_DIR}/tests/ui_view/view_lib.cmake)
add_executable(view_bench ${CMAKE_CURRENT_SOURCE_DIR}/view_bench.cpp)
target_link_libraries(view_bench PRIVATE ${VELMIRA_VIEW_LIB} velmira_app_core velmira_formats)
