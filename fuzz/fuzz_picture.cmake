# The picture load path (BMP and JPEG from memory).
if(TARGET mozaro_platform)
    add_executable(fuzz_picture ${CMAKE_CURRENT_LIST_DIR}/fuzz_picture.cpp)
    target_compile_options(fuzz_picture PRIVATE ${MOZARO_WARNINGS})
    target_link_libraries(fuzz_picture PRIVATE mozaro_platform)
    target_link_options(fuzz_picture PRIVATE -fsanitize=fuzzer)
endif()
