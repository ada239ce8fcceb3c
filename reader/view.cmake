# Document view, page widgets and side panels.
target_sources(ofd_reader PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/formofd.cpp ${CMAKE_CURRENT_LIST_DIR}/formofd.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdexport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/formofdpage.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdpage.h
  ${CMAKE_CURRENT_LIST_DIR}/scrollareaofpage.cpp ${CMAKE_CURRENT_LIST_DIR}/scrollareaofpage.h
  ${CMAKE_CURRENT_LIST_DIR}/ofdannottype.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdpanel.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdpanel.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdpagecolumn.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdpagecolumn.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdthumbnail.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdthumbnail.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdoutline.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdoutline.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdannot.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdannot.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdcustomtag.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdcustomtag.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdfile.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdfile.h
  ${CMAKE_CURRENT_LIST_DIR}/formofdsignature.cpp ${CMAKE_CURRENT_LIST_DIR}/formofdsignature.h
  ${CMAKE_CURRENT_LIST_DIR}/formsealselect.cpp ${CMAKE_CURRENT_LIST_DIR}/formsealselect.h)
