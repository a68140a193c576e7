# Screenshots of the folder dialog that asks for the card, titled in both
# languages.
add_executable(card_folder_preview ${CMAKE_CURRENT_LIST_DIR}/card_folder_preview.cpp)
target_link_libraries(card_folder_preview PRIVATE gui_preview_support app)

koral70_add_screenshot_test(gui_card_folder_en
  TITLE "Choose the KORAL70 SD card" SCREENSHOT card-folder-en.png LANG C.UTF-8 CAPTION
  COMMAND $<TARGET_FILE:card_folder_preview>)
koral70_add_screenshot_test(gui_card_folder_ja
  TITLE "KORAL70 のSDカードを選択" SCREENSHOT card-folder-ja.png LANG ja_JP.UTF-8 CAPTION
  COMMAND $<TARGET_FILE:card_folder_preview>)
