# Targets of the monitor benchmarks: the display as it grows, and the serial
# monitor window keeping up with it.
add_executable(monitor_display_bench monitor_display_bench.cpp)
target_link_libraries(monitor_display_bench PRIVATE koral_monitor benchmark::benchmark_main)
koral_warnings(monitor_display_bench)

add_executable(monitor_window_bench monitor_window_bench.cpp)
target_link_libraries(monitor_window_bench PRIVATE koral_ui)
koral_warnings(monitor_window_bench)
