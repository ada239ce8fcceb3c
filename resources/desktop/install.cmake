# Desktop integration, installed with the component "desktop": the launcher, the program icon, the
# icon of .ofd files and the MIME type application/ofd for *.ofd. Included from shell/CMakeLists.txt.
if(OFD_EDITION STREQUAL "2")
  set(OFD_DESKTOP_NAME "Lumeno版式阅读器")
  set(_ofd_icon ${PROJECT_SOURCE_DIR}/resources/Resources/app_lumeno.png)
else()
  set(OFD_DESKTOP_NAME "OFD阅读器")
  set(_ofd_icon ${PROJECT_SOURCE_DIR}/resources/Resources/app_ofd.png)
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/ofdreader.desktop.in ${PROJECT_BINARY_DIR}/desktop/ofdreader.desktop @ONLY)

install(FILES ${PROJECT_BINARY_DIR}/desktop/ofdreader.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
install(FILES ${_ofd_icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME ofdreader.png COMPONENT desktop)
install(FILES ${_ofd_icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/mimetypes
        RENAME application-ofd.png COMPONENT desktop)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/ofdreader-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ofdreader.xml COMPONENT desktop)

# Refresh the desktop's caches when installing straight into a live prefix; staged installs
# (DESTDIR) leave that to the package's own triggers.
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    find_program(_ofd_update_mime update-mime-database)
    if(_ofd_update_mime)
      execute_process(COMMAND \${_ofd_update_mime} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\"
                      OUTPUT_QUIET ERROR_QUIET)
    endif()
    find_program(_ofd_update_desktop update-desktop-database)
    if(_ofd_update_desktop)
      execute_process(COMMAND \${_ofd_update_desktop} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
                      OUTPUT_QUIET ERROR_QUIET)
    endif()
  endif()" COMPONENT desktop)
