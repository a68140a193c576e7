# Screenshots of the consent dialog and the registration form in both
# languages.
add_executable(register_preview ${CMAKE_CURRENT_LIST_DIR}/register_preview.cpp)
target_link_libraries(register_preview PRIVATE gui_preview_support register)

koral70_add_screenshot_test(gui_consent_en
  TITLE "Privacy policy" SCREENSHOT consent-en.png LANG C.UTF-8
  COMMAND $<TARGET_FILE:register_preview> consent)
koral70_add_screenshot_test(gui_consent_ja
  TITLE "ユーザー登録につきまして" SCREENSHOT consent-ja.png LANG ja_JP.UTF-8
  COMMAND $<TARGET_FILE:register_preview> consent)
koral70_add_screenshot_test(gui_registration_en
  TITLE "User registration" SCREENSHOT registration-en.png LANG C.UTF-8
  COMMAND $<TARGET_FILE:register_preview> registration)
koral70_add_screenshot_test(gui_registration_ja
  TITLE "ユーザー登録" SCREENSHOT registration-ja.png LANG ja_JP.UTF-8
  COMMAND $<TARGET_FILE:register_preview> registration)

