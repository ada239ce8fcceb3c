# Placing seals in the document view, the seal-selection dialog, the seal buttons of the editions and
# signing through the reader with the test seal provider (tools/sealprovider, loaded from the build's
# oeshome folder; the tests set OESV2_HOME themselves).
ofd_add_test(test_formofdsign SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formofdsign.cpp
  ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.cpp ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.h LIBS ofd_reader)
target_compile_definitions(test_formofdsign PRIVATE OFD_OESHOME="${OFD_OESHOME}")
add_dependencies(test_formofdsign ofd_sealprovider)
# The signature panel of the side bar, over packages signed with the test seal provider.
ofd_add_test(test_formofdsignature SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formofdsignature.cpp
  ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.cpp ${CMAKE_CURRENT_LIST_DIR}/viewtestdoc.h LIBS ofd_reader ofd_testseal)
target_compile_definitions(test_formofdsignature PRIVATE OFD_OESHOME="${OFD_OESHOME}")
add_dependencies(test_formofdsignature ofd_sealprovider)
