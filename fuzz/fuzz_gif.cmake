# libFuzzer target of the GIF codec: load, save, load again.
add_executable(fuzz_gif ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_gif.cpp)
target_compile_options(fuzz_gif PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_gif PRIVATE -fsanitize=fuzzer)
target_link_libraries(fuzz_gif PRIVATE mozaro_gif)
