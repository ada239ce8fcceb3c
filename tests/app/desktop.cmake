# Desktop conventions: config folder and remembered state; keys, focus, drops, open errors.
ofd_add_test(test_desktopconfig SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_desktopconfig.cpp
  LIBS ofd_shell ofd_reader ofd_app)
ofd_add_test(test_desktopshell SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_desktopshell.cpp
  ${PROJECT_SOURCE_DIR}/tests/reader/viewtestdoc.cpp ${PROJECT_SOURCE_DIR}/tests/reader/viewtestdoc.h
  LIBS ofd_shell ofd_reader ofd_widgets ofd_app)

# Focus and drag and drop under a real X server, when xvfb-run is there (tools/ensure-deps.sh).
find_program(OFD_XVFB_RUN xvfb-run)
ofd_add_test(test_desktopx11 SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_desktopx11.cpp
  ${PROJECT_SOURCE_DIR}/tests/reader/viewtestdoc.cpp ${PROJECT_SOURCE_DIR}/tests/reader/viewtestdoc.h
  LIBS ofd_shell ofd_reader ofd_widgets ofd_app)
if(OFD_XVFB_RUN)
  # The offscreen registration skips itself; this one runs the executable on an X server of its own.
  add_test(NAME test_desktopx11_xvfb
           COMMAND ${OFD_XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:test_desktopx11>)
  set_tests_properties(test_desktopx11_xvfb PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 300)
endif()
