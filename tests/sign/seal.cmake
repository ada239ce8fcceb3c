# Seals and signed values: fixtures built with our DER encoder and OpenSSL-made SM2 keys, certificates and
# signatures (OpenSSL only in tests and tools). The builders live in tools/testseal (ofd_testseal);
# ofd_sealfixtures adds what only tests need. Other test groups reuse ofd_sealfixtures.
add_library(ofd_sealfixtures STATIC ${CMAKE_CURRENT_LIST_DIR}/sealfixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/sealfixtures.h)
target_include_directories(ofd_sealfixtures PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(ofd_sealfixtures PUBLIC ofd_testseal ofd_sign ofd_testsupport OpenSSL::Crypto Qt5::Gui)

ofd_add_test(test_ofdsignatureseal SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ofdsignatureseal.cpp
  LIBS ofd_sign ofd_sealfixtures OpenSSL::Crypto Qt5::Gui)
ofd_add_test(test_ofdsignedvalue SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ofdsignedvalue.cpp
  LIBS ofd_sign ofd_sealfixtures OpenSSL::Crypto Qt5::Gui)
ofd_add_test(test_sealcorpus SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sealcorpus.cpp
  LIBS ofd_sign ofd_sealfixtures OpenSSL::Crypto Qt5::Gui)
# Trust anchors, certificate chains, PKCS#7 signed values and BER with indefinite lengths.
ofd_add_test(test_signaturetrust SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_signaturetrust.cpp
  LIBS ofd_sign ofd_sealfixtures OpenSSL::Crypto Qt5::Gui)
