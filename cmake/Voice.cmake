# The spoken 九九: every chant and question synthesised once, at build time,
# into sound files beside the program. Needs open_jtalk, its dictionary and
# the voice (tools/fetch_voice.sh puts it into the build folder); without
# them the program is built without its voice and says so. -DTATEYOKO_VOICE=OFF
# leaves the voice out even where it is there, as on a machine without it.
# Needs APP_DIR; sets SPOKEN_FILES (empty without a voice).

find_program(OPEN_JTALK open_jtalk)
find_path(OPEN_JTALK_DICTIONARY sys.dic PATHS /var/lib/mecab/dic/open-jtalk/naist-jdic NO_DEFAULT_PATH)
find_file(TATEYOKO_VOICE nitech_jp_atr503_m001.htsvoice
  PATHS ${CMAKE_BINARY_DIR}/voice/usr/share/hts-voice/nitech-jp-atr503-m001
        # the one the set-up scripts fetched, for a second build such as the sanitized one
        ${CMAKE_SOURCE_DIR}/build/voice/usr/share/hts-voice/nitech-jp-atr503-m001
        /usr/share/hts-voice/nitech-jp-atr503-m001
  NO_DEFAULT_PATH)

add_executable(voice_phrases tools/voice_phrases.cpp)
target_link_libraries(voice_phrases PRIVATE tateyoko_core)

set(SPOKEN_FILES "")
if(OPEN_JTALK AND OPEN_JTALK_DICTIONARY AND TATEYOKO_VOICE)
  foreach(kind chant ask)
    foreach(a RANGE 1 9)
      foreach(b RANGE 1 9)
        list(APPEND SPOKEN_FILES ${APP_DIR}/kuku_${kind}_${a}${b}.wav)
      endforeach()
    endforeach()
  endforeach()
  # The phrases are spoken again only when their texts change, not at every
  # change of the core the listing tool is linked with.
  set(PHRASE_LIST ${CMAKE_BINARY_DIR}/voice/phrases.txt)
  add_custom_target(spoken_phrase_list
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/voice
    COMMAND sh -c "$<TARGET_FILE:voice_phrases> list > ${PHRASE_LIST}.new"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PHRASE_LIST}.new ${PHRASE_LIST}
    BYPRODUCTS ${PHRASE_LIST}
    VERBATIM)
  add_dependencies(spoken_phrase_list voice_phrases)
  add_custom_command(OUTPUT ${SPOKEN_FILES}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${APP_DIR}
    COMMAND sh ${CMAKE_SOURCE_DIR}/tools/synthesize_voice.sh $<TARGET_FILE:voice_phrases>
            ${OPEN_JTALK} ${OPEN_JTALK_DICTIONARY} ${TATEYOKO_VOICE} ${APP_DIR} ${PHRASE_LIST}
    DEPENDS ${PHRASE_LIST} ${CMAKE_SOURCE_DIR}/tools/synthesize_voice.sh
    COMMENT "Synthesising the spoken 九九"
    VERBATIM)
  add_custom_target(spoken_kuku DEPENDS ${SPOKEN_FILES})
  add_dependencies(spoken_kuku spoken_phrase_list)
  add_dependencies(tateyokom spoken_kuku)
  message(STATUS "Spoken 九九: voice ${TATEYOKO_VOICE}")
elseif(TATEYOKO_VOICE STREQUAL "OFF")
  message(STATUS "Spoken 九九: left out (TATEYOKO_VOICE=OFF); the program is built without its voice")
else()
  message(STATUS "Spoken 九九: no open_jtalk, dictionary or voice; the program is built without its voice "
                 "(tools/fetch_voice.sh build/voice, then configure again)")
endif()

# The phrases read back through the synthesiser. It needs open_jtalk and the
# voice, which the test command installs; where they are missing it is
# skipped, and says why (in CI it fails).
enable_testing()
find_package(GTest REQUIRED)
add_executable(voice_tests tests/voice/test_spoken_phrases.cpp)
target_link_libraries(voice_tests PRIVATE tateyoko_core GTest::gtest GTest::gtest_main)
if(OPEN_JTALK AND OPEN_JTALK_DICTIONARY AND TATEYOKO_VOICE)
  set(VOICE_TEST_ENV TATEYOKO_OPEN_JTALK=${OPEN_JTALK} TATEYOKO_JTALK_DICTIONARY=${OPEN_JTALK_DICTIONARY}
    TATEYOKO_VOICE=${TATEYOKO_VOICE})
endif()
add_test(NAME SpokenPhrases.EveryPhraseIsSpokenAsItsKana
  COMMAND ${CMAKE_COMMAND} -E env ${VOICE_TEST_ENV} $<TARGET_FILE:voice_tests>)
set_tests_properties(SpokenPhrases.EveryPhraseIsSpokenAsItsKana PROPERTIES LABELS core TIMEOUT 180
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# The voice heard on the private sound server's null sink, in a practice and
# a test by ear (the test command starts the server).
add_executable(voice_system_tests tests/voice/test_voice_on_the_sink.cpp)
target_link_libraries(voice_system_tests PRIVATE tateyoko_ui GTest::gtest)
add_dependencies(voice_system_tests tateyokom)
add_test(NAME VoiceOnTheSink.PracticeAndTestByEar
  COMMAND ${CMAKE_COMMAND} -E env TATEYOKO_SOURCE_DIR=${CMAKE_SOURCE_DIR} TATEYOKO_APP_DIR=${APP_DIR}
          $<TARGET_FILE:voice_system_tests>)
set_tests_properties(VoiceOnTheSink.PracticeAndTestByEar PROPERTIES LABELS system RESOURCE_LOCK desktop
  TIMEOUT 150 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
