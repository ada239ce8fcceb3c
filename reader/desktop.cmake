# Desktop conventions of the reader: open errors, the remembered view state.
target_sources(ofd_reader PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ofdopenerror.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdopenerror.h
  ${CMAKE_CURRENT_LIST_DIR}/readerviewstate.cpp ${CMAKE_CURRENT_LIST_DIR}/readerviewstate.h)
