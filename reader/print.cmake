# Print dialog.
target_sources(ofd_reader PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/formofdprint.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdprint.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdprintui.h)
