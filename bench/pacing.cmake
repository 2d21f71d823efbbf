# The pacing of the transfers: a real run against koral-emu, stamped on the
# unit's side, compared with the same run on virtual time (bench/pacing.sh).
add_executable(pacing_report
  pacing/pacing_report.cpp
  pacing/traffic.cpp
  pacing/virtual_run.cpp
)
target_link_libraries(pacing_report PRIVATE koral_app koral_emu_logic)
koral_warnings(pacing_report)
