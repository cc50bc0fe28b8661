# The image view as a library for its tests and its benchmark: velmira_ui when the
# editor's UI library exists, else a library of the view's own sources.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Test)
if(TARGET velmira_ui)
  set(VELMIRA_VIEW_LIB velmira_ui)
else()
  if(NOT TARGET velmira_view)
    set(_ui ${PROJECT_SOURCE_DIR}/src/ui)
    add_library(velmira_view STATIC
      ${_ui}/mirv_view.cpp ${_ui}/mirv_view.h
      ${_ui}/child_frame.cpp ${_ui}/child_frame.h
      ${_ui}/view_cursors.cpp ${_ui}/view_cursors.h)
    set_target_properties(velmira_view PROPERTIES AUTOMOC ON)
    target_include_directories(velmira_view PUBLIC ${PROJECT_SOURCE_DIR}/src)
    # LayerStack has a member named "slots", which Qt would otherwise take for its keyword.
    target_compile_definitions(velmira_view PUBLIC QT_NO_KEYWORDS)
    target_link_libraries(velmira_view PUBLIC velmira_commands velmira_tools Qt6::Widgets Qt6::PrintSupport)
  endif()
  set(VELMIRA_VIEW_LIB velmira_view)
endif()
