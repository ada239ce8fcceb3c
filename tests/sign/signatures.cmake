ofd_add_test(test_signaturelist SOURCES test_signaturelist.cpp LIBS ofd_sign)
ofd_add_test(test_signaturecorpus SOURCES test_signaturecorpus.cpp LIBS ofd_sign)
ofd_add_test(test_signedpackage SOURCES test_signedpackage.cpp LIBS ofd_render ofd_sealfixtures)
if(TARGET ofdtool)
  target_compile_definitions(test_signedpackage PRIVATE OFDTOOL_PATH="$<TARGET_FILE:ofdtool>")
  add_dependencies(test_signedpackage ofdtool)
endif()
ofd_add_test(test_verifyofdfile SOURCES test_verifyofdfile.cpp LIBS ofd_sign ofd_app ofd_sealfixtures)
target_compile_definitions(test_verifyofdfile PRIVATE OFD_OESHOME="${OFD_OESHOME}")
add_dependencies(test_verifyofdfile ofd_sealprovider)

# Signing documents with the test seal provider: the signed packages reopen, draw their seals and pass
# the built-in check and the provider's verification.
ofd_add_test(test_signofdfile SOURCES test_signofdfile.cpp LIBS ofd_render ofd_app ofd_sealfixtures)
target_compile_definitions(test_signofdfile PRIVATE OFD_OESHOME="${OFD_OESHOME}")
add_dependencies(test_signofdfile ofd_sealprovider)
