# Document view, page widgets, export and side panels.
set(_view_test_support ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.cpp ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.h)
ofd_add_test(test_formofd SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formofd.cpp ${_view_test_support} LIBS ofd_reader)
ofd_add_test(test_formofdexport SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formofdexport.cpp ${_view_test_support}
  LIBS ofd_reader)
ofd_add_test(test_formofdpanels SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formofdpanels.cpp ${_view_test_support}
  LIBS ofd_reader)
ofd_add_test(test_formofdvirtual SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formofdvirtual.cpp ${_view_test_support}
  LIBS ofd_reader)
