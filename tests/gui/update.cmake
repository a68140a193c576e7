# Screenshots of the main window through an update, in both languages: a
# slow update with its speed and time left, its summary, the question when
# the window is closed during it, a card whose owner is not registered
# yet, a write-protected card, and the consent on a desktop without a
# browser.
foreach(lang IN ITEMS en ja)
  if(lang STREQUAL ja)
    set(locale ja_JP.UTF-8)
  else()
    set(locale C.UTF-8)
  endif()
  koral70_add_xvfb_test(gui_update_screenshots_${lang} ${CMAKE_CURRENT_LIST_DIR}/update_screenshots.sh
    --server $<TARGET_FILE:koral70-server> --client $<TARGET_FILE:koral70>
    --preview $<TARGET_FILE:register_preview>
    --out-dir ${KORAL70_SCREENSHOT_DIR} --suffix ${lang} --lang ${locale})
endforeach()
