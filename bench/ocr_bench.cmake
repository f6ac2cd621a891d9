add_executable(ocr_bench ${CMAKE_CURRENT_LIST_DIR}/ocr_bench.cpp)
target_link_libraries(ocr_bench PRIVATE mirtal_ocr)
# A text rip on real subpictures of a disc with a matrix trained on them.
add_executable(ocr_rip_bench ${CMAKE_CURRENT_LIST_DIR}/ocr_rip_bench.cpp)
target_link_libraries(ocr_rip_bench PRIVATE mirtal_rip)
target_compile_definitions(ocr_rip_bench PRIVATE MIRTAL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
