# Screenshots of the manual's save dialog, titled in both languages.
add_executable(manual_save_preview ${CMAKE_CURRENT_LIST_DIR}/manual_save_preview.cpp)
target_link_libraries(manual_save_preview PRIVATE gui_preview_support app)

koral70_add_screenshot_test(gui_manual_save_en
  TITLE "Save As" SCREENSHOT manual-save-en.png LANG C.UTF-8 CAPTION
  COMMAND $<TARGET_FILE:manual_save_preview>)
koral70_add_screenshot_test(gui_manual_save_ja
  TITLE "名前を付けて保存" SCREENSHOT manual-save-ja.png LANG ja_JP.UTF-8 CAPTION
  COMMAND $<TARGET_FILE:manual_save_preview>)
