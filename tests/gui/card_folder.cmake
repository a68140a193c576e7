# Screenshots of the folder dialog that asks for the card, in both
# languages: with no card found, and with two.
add_executable(card_folder_preview ${CMAKE_CURRENT_LIST_DIR}/card_folder_preview.cpp)
target_link_libraries(card_folder_preview PRIVATE gui_preview_support app)

koral70_add_screenshot_test(gui_card_folder_en
  TITLE "Choose the KORAL70 SD card" SCREENSHOT card-folder-en.png LANG C.UTF-8 CAPTION
  COMMAND $<TARGET_FILE:card_folder_preview>)
koral70_add_screenshot_test(gui_card_folder_ja
  TITLE "KORAL70 のSDカードを選択" SCREENSHOT card-folder-ja.png LANG ja_JP.UTF-8 CAPTION
  COMMAND $<TARGET_FILE:card_folder_preview>)
koral70_add_screenshot_test(gui_card_folders_en
  TITLE "Choose the KORAL70 SD card" SCREENSHOT card-folders-en.png LANG C.UTF-8 CAPTION
  COMMAND $<TARGET_FILE:card_folder_preview> KORAL70_A KORAL70_B)
koral70_add_screenshot_test(gui_card_folders_ja
  TITLE "KORAL70 のSDカードを選択" SCREENSHOT card-folders-ja.png LANG ja_JP.UTF-8 CAPTION
  COMMAND $<TARGET_FILE:card_folder_preview> KORAL70_A KORAL70_B)
# Without a window manager GTK's chooser opens taller than 768 pixels: the
# prompt below its list and its buttons are seen on a taller screen.
set_tests_properties(gui_card_folder_en gui_card_folder_ja gui_card_folders_en gui_card_folders_ja
                     PROPERTIES ENVIRONMENT KORAL70_XVFB_SCREEN=1280x1024x24)
