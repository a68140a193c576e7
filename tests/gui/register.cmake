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

# The consent without a browser: the message naming the saved page, then
# the dialog with Accept available.
foreach(lang IN ITEMS en ja)
  if(lang STREQUAL ja)
    set(locale ja_JP.UTF-8)
  else()
    set(locale C.UTF-8)
  endif()
  koral70_add_xvfb_test(gui_consent_screenshots_${lang} ${CMAKE_CURRENT_LIST_DIR}/consent_screenshots.sh
    --server $<TARGET_FILE:koral70-server> --preview $<TARGET_FILE:register_preview>
    --out-dir ${KORAL70_SCREENSHOT_DIR} --suffix ${lang} --lang ${locale})
endforeach()
