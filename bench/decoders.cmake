# Targets of the decoders benchmarks.
add_executable(decoder_bench decoder_bench.cpp)
target_link_libraries(decoder_bench PRIVATE koral_monitor koral_net benchmark::benchmark_main)
koral_warnings(decoder_bench)

add_executable(receive_path_bench receive_path_bench.cpp bench_fakes.h)
target_link_libraries(receive_path_bench PRIVATE koral_link koral_net benchmark::benchmark_main)
koral_warnings(receive_path_bench)
