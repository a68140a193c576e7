# Every caption of every dialog fits its control and nothing crosses a group
# box's frame, in both languages, at 96 DPI and at 144 (GTK's font scale 1.5).
add_executable(text_fit_check ${CMAKE_CURRENT_LIST_DIR}/text_fit_check.cpp)
target_link_libraries(text_fit_check PRIVATE gui_preview_support app)

foreach(lang IN ITEMS en ja)
  foreach(dpi IN ITEMS 96 144)
    if(lang STREQUAL ja)
      set(locale ja_JP.UTF-8)
    else()
      set(locale C.UTF-8)
    endif()
    if(dpi EQUAL 144)
      set(scale 1.5)
    else()
      set(scale 1)
    endif()
    koral70_add_xvfb_test(gui_text_fit_${lang}_${dpi} env -u LC_ALL -u LC_MESSAGES -u KORAL70_UI
      LANG=${locale} GDK_DPI_SCALE=${scale} $<TARGET_FILE:text_fit_check>)
  endforeach()
endforeach()
