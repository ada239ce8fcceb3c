# The signing workflow: placed seals grouped by seal, one signature per seal, the package rebuilt.
target_sources(ofd_sign PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sealsigninfo.cpp ${CMAKE_CURRENT_LIST_DIR}/sealsigninfo.h
  ${CMAKE_CURRENT_LIST_DIR}/signofdfile.cpp ${CMAKE_CURRENT_LIST_DIR}/signofdfile.h
  ${CMAKE_CURRENT_LIST_DIR}/signofdfilemanage.cpp ${CMAKE_CURRENT_LIST_DIR}/signofdfilemanage.h)
