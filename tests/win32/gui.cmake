# The Windows build's GUI checks: the win32 backend under Wine on a virtual X
# display, and screenshots of the client's windows in English and Japanese
# (in ${CMAKE_BINARY_DIR}/screenshots). Included by tests/gui/CMakeLists.txt,
# whose koral70_add_screenshot_test it uses; the
# programs run through ${CMAKE_CROSSCOMPILING_EMULATOR} (wine).
#
# Wine must run with windows it manages itself ("Managed"="N" under
# HKCU\Software\Wine\X11 Driver, set by scripts/test-windows): it then draws
# the Windows title bar, and hiding a window does not wait for a window
# manager. Japanese needs LOCPATH with a generated ja_JP.UTF-8 locale.
set(wine ${CMAKE_CROSSCOMPILING_EMULATOR})

# Wine's programs all run on the one display of the GUI step (on-display.sh),
# not on a fresh one each: this replaces the wrapper of tests/gui for the
# screenshot tests as well.
function(koral70_add_xvfb_test name)
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/win32/on-display.sh ${ARGN})
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 RESOURCE_LOCK koral70_xvfb
                       TIMEOUT 180 LABELS gui)
endfunction()
set(gui_sources ${PROJECT_SOURCE_DIR}/tests/gui)

add_library(gui_preview_support STATIC ${PROJECT_SOURCE_DIR}/tests/win32/preview_support_win32.cpp)
target_link_libraries(gui_preview_support PUBLIC framework_win32 res)
add_library(gui_check_dialog STATIC ${gui_sources}/check_dialog.cpp)
target_link_libraries(gui_check_dialog PUBLIC framework)

add_executable(win32_backend_check ${PROJECT_SOURCE_DIR}/tests/win32/win32_backend_check.cpp)
target_link_libraries(win32_backend_check PRIVATE gui_check_dialog framework_win32 res GTest::gtest)
koral70_add_xvfb_test(gui_win32_backend ${wine} $<TARGET_FILE:win32_backend_check>)

add_executable(message_box_check ${gui_sources}/message_box_check.cpp)
target_link_libraries(message_box_check PRIVATE gui_check_dialog gui_preview_support)
add_executable(register_preview ${gui_sources}/register_preview.cpp)
target_link_libraries(register_preview PRIVATE gui_preview_support register)
add_executable(wifi_preview ${gui_sources}/wifi_preview.cpp)
target_link_libraries(wifi_preview PRIVATE gui_preview_support wifi)
add_executable(manual_save_preview ${gui_sources}/manual_save_preview.cpp)
target_link_libraries(manual_save_preview PRIVATE gui_preview_support manual)

# koral70_add_wine_screenshots(<name> <file stem> TITLE_EN <title> TITLE_JA <title>
#     [KEY <key>] [CAPTION] COMMAND <program> [args...])
# One screenshot test per language: <file stem>-en.png and <file stem>-ja.png.
function(koral70_add_wine_screenshots name stem)
  cmake_parse_arguments(PARSE_ARGV 2 S "CAPTION" "TITLE_EN;TITLE_JA;KEY" "COMMAND")
  set(extra)
  if(S_KEY)
    list(APPEND extra KEY ${S_KEY})
  endif()
  if(S_CAPTION)
    list(APPEND extra CAPTION)
  endif()
  koral70_add_screenshot_test(${name}_en TITLE ${S_TITLE_EN} SCREENSHOT ${stem}-en.png
    LANG en_US.UTF-8 ${extra} COMMAND ${wine} ${S_COMMAND})
  koral70_add_screenshot_test(${name}_ja TITLE ${S_TITLE_JA} SCREENSHOT ${stem}-ja.png
    LANG ja_JP.UTF-8 ${extra} COMMAND ${wine} ${S_COMMAND})
endfunction()

koral70_add_wine_screenshots(gui_main_window main
  TITLE_EN "KORAL70 software update ( v 3.4.0 )" TITLE_JA "KORAL70  ｱｯﾌﾟﾃﾞｰﾄ ( v 3.4.0 )"
  COMMAND $<TARGET_FILE:koral70>)
koral70_add_wine_screenshots(gui_consent consent
  TITLE_EN "Privacy policy" TITLE_JA "ユーザー登録につきまして"
  COMMAND $<TARGET_FILE:register_preview> consent)
koral70_add_wine_screenshots(gui_registration registration
  TITLE_EN "User registration" TITLE_JA "ユーザー登録"
  COMMAND $<TARGET_FILE:register_preview> registration)
koral70_add_wine_screenshots(gui_wifi wifi TITLE_EN "WiFi settings" TITLE_JA "WiFiの設定"
  COMMAND $<TARGET_FILE:wifi_preview>)
koral70_add_wine_screenshots(gui_manual_save manual-save TITLE_EN "Save As" TITLE_JA "名前を付けて保存"
  CAPTION COMMAND $<TARGET_FILE:manual_save_preview>)
# A worker's message box: the program exits 0 only when the worker got IDOK.
foreach(kind IN ITEMS information exclamation error)
  koral70_add_screenshot_test(gui_message_box_${kind}_en
    TITLE message_box_check SCREENSHOT message-box-${kind}-en.png KEY Return LANG en_US.UTF-8
    COMMAND ${wine} $<TARGET_FILE:message_box_check> ${kind} "Update complete (${kind})")
  koral70_add_screenshot_test(gui_message_box_${kind}_ja
    TITLE message_box_check SCREENSHOT message-box-${kind}-ja.png KEY Return LANG ja_JP.UTF-8
    COMMAND ${wine} $<TARGET_FILE:message_box_check> ${kind} "アップデート完了 (${kind})")
endforeach()

# The main window during an update, against the host's reference server
# (KORAL70_HOST_SERVER); skipped without one.
foreach(lang IN ITEMS en ja)
  if(lang STREQUAL en)
    set(locale en_US.UTF-8)
    set(title "KORAL70 software update ( v 3.4.0 )")
  else()
    set(locale ja_JP.UTF-8)
    set(title "KORAL70  ｱｯﾌﾟﾃﾞｰﾄ ( v 3.4.0 )")
  endif()
  koral70_add_xvfb_test(gui_update_in_progress_${lang}
    ${PROJECT_SOURCE_DIR}/tests/win32/update_screenshot.sh --server "${KORAL70_HOST_SERVER}"
    --client $<TARGET_FILE:koral70> --title ${title} --lang ${locale}
    --out ${KORAL70_SCREENSHOT_DIR}/update-${lang}.png)
  set_tests_properties(gui_update_in_progress_${lang} PROPERTIES ENVIRONMENT WINE=${wine})
endforeach()
