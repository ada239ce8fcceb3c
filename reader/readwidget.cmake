# Reader widget: the content of a document tab with its menus, tool bars, side bar and panels.
# The recent-file record is compiled here (its header stays in shell/) because the reader widget
# records every file it shows and the shell library sits above the reader library.
target_sources(ofd_reader PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/readwidget.cpp ${CMAKE_CURRENT_LIST_DIR}/readwidget.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdreadwidget.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdreadwidget.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdreadpanels.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdreadpanels.h
  ${PROJECT_SOURCE_DIR}/shell/fileinforecord.cpp ${PROJECT_SOURCE_DIR}/shell/fileinforecord.h)
