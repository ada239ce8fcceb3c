# The reader widget: form, tool bars, zoom, page box, navigation, search, copy, side bar, editions.
ofd_add_test(test_ofdreadwidget
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ofdreadwidget.cpp
  LIBS ofd_reader ofd_widgets ofd_app)
