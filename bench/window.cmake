# The settings window's repaints during a download against koral-emu: the
# longest time the window goes without painting while the protocol waits.
find_package(Qt6 6.4 REQUIRED COMPONENTS Test Widgets)

# The window tests' helpers (emulated unit on COM1, picking entries, answering
# message boxes), built into the harness so it needs no test target.
add_executable(window_repaint_bench window_repaint_bench.cpp
  ${PROJECT_SOURCE_DIR}/tests/ui/ui_test_support.cpp
  ${PROJECT_SOURCE_DIR}/tests/integration/emulator_process.cpp)
target_link_libraries(window_repaint_bench PRIVATE koral_ui Qt6::Test Qt6::Widgets)
target_compile_definitions(window_repaint_bench PRIVATE KORAL_EMU_PROGRAM="$<TARGET_FILE:koral-emu>")
add_dependencies(window_repaint_bench koral-emu)
koral_warnings(window_repaint_bench)
