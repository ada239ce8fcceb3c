# The signature list model: Signatures.xml, Signature.xml, references and stamps.
target_sources(ofd_sign PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ofdxmlsignature.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdxmlsignature.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdxmlsignaturemanage.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdxmlsignaturemanage.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdsignaturewriter.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdsignaturewriter.h)
target_link_libraries(ofd_sign PUBLIC ofd_document)
target_sources(ofd_sign PRIVATE ${CMAKE_CURRENT_LIST_DIR}/verifyofdfile.cpp ${CMAKE_CURRENT_LIST_DIR}/verifyofdfile.h)
