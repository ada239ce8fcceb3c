# Printing choices: paper, orientation, fit, current page, stamp, no printer, progress.
ofd_add_test(test_printchoices SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_printchoices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.cpp ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.h LIBS ofd_reader)
