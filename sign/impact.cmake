# Which signatures a change of package files breaks (asked before saving annotations).
target_sources(ofd_sign PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ofdsignatureimpact.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdsignatureimpact.h)
