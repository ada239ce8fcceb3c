# Seal-provider access (OESV2Helper, OESV4Helper) against the test seal provider of tools/sealprovider,
# loaded at run time from the build's oeshome folder, and the built-in answers of the other editions (the
# sample signed value is in the resource collection of ofd_app). The tests set OESV2_HOME themselves.
ofd_add_test(test_oesv2helper SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_oesv2helper.cpp
  LIBS ofd_sign ofd_app ofd_sealfixtures Qt5::Gui)
target_compile_definitions(test_oesv2helper PRIVATE OFD_OESHOME="${OFD_OESHOME}")
add_dependencies(test_oesv2helper ofd_sealprovider)

# The provider's side of the OES functions: buffer conventions, login, error texts.
ofd_add_test(test_sealprovider SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sealprovider.cpp
  LIBS ofd_sign ofd_sealfixtures Qt5::Gui)
target_compile_definitions(test_sealprovider PRIVATE OFD_OESHOME="${OFD_OESHOME}")
add_dependencies(test_sealprovider ofd_sealprovider)
