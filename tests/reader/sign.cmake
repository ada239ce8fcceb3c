# Placing seals in the document view, the seal-selection dialog, the seal buttons of the editions and
# signing through the reader with the test seal provider (tools/sealprovider, loaded from the build's
# oeshome folder; the tests set OESV2_HOME themselves).
ofd_add_test(test_formofdsign SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formofdsign.cpp
  ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.cpp ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.h LIBS ofd_reader)
target_compile_definitions(test_formofdsign PRIVATE OFD_OESHOME="${OFD_OESHOME}")
add_dependencies(test_formofdsign ofd_sealprovider)
