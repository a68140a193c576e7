# Screenshot tests of real windows on a virtual X display, for tests/gui (wx)
# and tests/win32 (Wine). Screenshots go to ${CMAKE_BINARY_DIR}/screenshots.

set(KORAL70_SCREENSHOT_DIR ${CMAKE_BINARY_DIR}/screenshots)
set(KORAL70_GUI_SCRIPTS ${PROJECT_SOURCE_DIR}/tests/gui)

# Runs a command on its own virtual display; skipped without Xvfb.
function(koral70_add_xvfb_test name)
  add_test(NAME ${name} COMMAND ${KORAL70_GUI_SCRIPTS}/with-xvfb.sh ${ARGN})
  # One GUI check runs at a time: each waits for windows within timeouts,
  # and their programs then do not compete for the machine with each other.
  # Being one at a time they are slow: `ctest -LE slow` leaves them out.
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 RESOURCE_LOCK koral70_xvfb
                       TIMEOUT 180 LABELS "gui;slow")
endfunction()

# koral70_add_screenshot_test(<name> TITLE <window title> SCREENSHOT <file.png>
#     [LANG <LANG value>] [KEY <xdotool key>] [EXIT_CODE <n>] [CARD] [CAPTION]
#     COMMAND <program> [args...])
# Starts the program, waits for the window of that exact title, saves a
# screenshot of the screen as ${KORAL70_SCREENSHOT_DIR}/<file.png>, presses
# KEY (Escape) and expects the exit code (0). CARD runs the program in a
# card folder (one with a "pass.ini"); CAPTION writes the window's title
# above the screenshot.
function(koral70_add_screenshot_test name)
  cmake_parse_arguments(PARSE_ARGV 1 S "CARD;CAPTION" "TITLE;SCREENSHOT;LANG;KEY;EXIT_CODE" "COMMAND")
  if(NOT S_LANG)
    set(S_LANG C.UTF-8)
  endif()
  if(NOT S_KEY)
    set(S_KEY Escape)
  endif()
  if(NOT S_EXIT_CODE)
    set(S_EXIT_CODE 0)
  endif()
  set(caption)
  if(S_CAPTION)
    set(caption --caption)
  endif()
  set(card)
  if(S_CARD)
    set(card --card)
  endif()
  koral70_add_xvfb_test(${name} ${KORAL70_GUI_SCRIPTS}/screenshot.sh
    --title ${S_TITLE} --out ${KORAL70_SCREENSHOT_DIR}/${S_SCREENSHOT}
    --lang ${S_LANG} --key ${S_KEY} --exit-code ${S_EXIT_CODE} ${card} ${caption} -- ${S_COMMAND})
endfunction()
