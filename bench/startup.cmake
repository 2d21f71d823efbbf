# Targets of the startup benchmarks: the desktop program's start-up to its first
# window, and a bare Qt Widgets program beside it as the floor Qt sets.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)

add_executable(koral_startup_probe startup_bench.cpp)
target_link_libraries(koral_startup_probe PRIVATE koral_ui)
koral_warnings(koral_startup_probe)

add_executable(koral_startup_bare startup_bench.cpp)
target_compile_definitions(koral_startup_bare PRIVATE KORAL_STARTUP_BARE)
target_link_libraries(koral_startup_bare PRIVATE Qt6::Widgets)
koral_warnings(koral_startup_bare)
