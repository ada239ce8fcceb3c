# Print dialog, printing through the CUPS-PDF queue of tools/ensure-printer.sh.
ofd_add_test(test_formofdprint SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formofdprint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.cpp ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.h LIBS ofd_reader)
