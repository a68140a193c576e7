# Screenshots of the Wi-Fi settings dialog in both languages.
add_executable(wifi_preview ${CMAKE_CURRENT_LIST_DIR}/wifi_preview.cpp)
target_link_libraries(wifi_preview PRIVATE gui_preview_support wifi)

koral70_add_screenshot_test(gui_wifi_en
  TITLE "WiFi settings" SCREENSHOT wifi-en.png LANG C.UTF-8
  COMMAND $<TARGET_FILE:wifi_preview>)
koral70_add_screenshot_test(gui_wifi_ja
  TITLE "WiFiの設定" SCREENSHOT wifi-ja.png LANG ja_JP.UTF-8
  COMMAND $<TARGET_FILE:wifi_preview>)
