#pragma once

class MainWindow;

// The start-up sequence between creating the application object and running its event loop.
namespace StartUp {
// Font, application and display name, UTF-8 as the locale codec, unit conversion, cursors.
void InitApplication();
// The frameless main window, shown; it lives until the process ends.
MainWindow *CreateMainWindow();
} // namespace StartUp
