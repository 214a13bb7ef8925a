# The move sound. tst_playwave needs no sound server; real_sound starts a private one with a
# null sink, records what reaches it and checks every sound arrived whole. It reports itself
# skipped where pulseaudio or sox is not installed or no server can be started.
vellumi_test(tst_playwave vellumi_sound)

add_executable(playwave_probe ${CMAKE_CURRENT_LIST_DIR}/realsound/playwave_probe.cpp)
target_link_libraries(playwave_probe PRIVATE vellumi_sound)

add_test(NAME real_sound
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/realsound/run.sh $<TARGET_FILE:playwave_probe>)
set_tests_properties(real_sound PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60)
