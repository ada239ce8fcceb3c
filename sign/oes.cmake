# Access to the seal-provider library through the OES functions (QLibrary); reads the edition number.
target_sources(ofd_sign PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/oesapi.h
  ${CMAKE_CURRENT_LIST_DIR}/oescall.h
  ${CMAKE_CURRENT_LIST_DIR}/oesv2helper.cpp ${CMAKE_CURRENT_LIST_DIR}/oesv2helper.h
  ${CMAKE_CURRENT_LIST_DIR}/oesv4helper.cpp ${CMAKE_CURRENT_LIST_DIR}/oesv4helper.h)
target_link_libraries(ofd_sign PRIVATE ofd_app)
