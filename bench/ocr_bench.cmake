add_executable(ocr_bench ${CMAKE_CURRENT_LIST_DIR}/ocr_bench.cpp)
target_link_libraries(ocr_bench PRIVATE mirtal_ocr)
