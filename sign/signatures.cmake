# The signature list model: Signatures.xml, Signature.xml, references and stamps.
target_sources(ofd_sign PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ofdxmlsignature.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdxmlsignature.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdxmlsignaturemanage.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdxmlsignaturemanage.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdsignaturewriter.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdsignaturewriter.h)
target_link_libraries(ofd_sign PUBLIC ofd_document)
target_sources(ofd_sign PRIVATE ${CMAKE_CURRENT_LIST_DIR}/verifyofdfile.cpp ${CMAKE_CURRENT_LIST_DIR}/verifyofdfile.h)
# Verdicts: trust anchors, certificate chains, PKCS#7 signed values and the levels shown to the user.
target_sources(ofd_sign PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/bertodefinite.cpp ${CMAKE_CURRENT_LIST_DIR}/bertodefinite.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdcertificatechain.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdcertificatechain.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdpkcs7signature.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdpkcs7signature.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdsignatureverdict.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdsignatureverdict.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdtruststore.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdtruststore.h)
