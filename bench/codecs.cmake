# Codec comparisons (compare_codecs.sh): a floor program that links only
# libjpeg-turbo and libtiff, and a driver that converts through LoadFile/SaveFile.
find_package(JPEG REQUIRED)
find_package(TIFF REQUIRED)
add_executable(floor_codec ${CMAKE_CURRENT_LIST_DIR}/floor_codec.cpp)
target_link_libraries(floor_codec PRIVATE JPEG::JPEG TIFF::TIFF)
add_executable(codec_driver ${CMAKE_CURRENT_LIST_DIR}/codec_driver.cpp)
target_link_libraries(codec_driver PRIVATE velmira_formats)
