# Seals and signed values of GM/T 0031-2014 and GB/T 38540-2020; the seal picture needs QImage.
target_sources(ofd_sign PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ofdsealpicture.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdsealpicture.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdsignatureseal.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdsignatureseal.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdsignedvalue.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdsignedvalue.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdx509certificate.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdx509certificate.h
  ${CMAKE_CURRENT_LIST_DIR}/sealreader0031.cpp ${CMAKE_CURRENT_LIST_DIR}/sealreader0031.h)
target_link_libraries(ofd_sign PUBLIC Qt5::Gui)
