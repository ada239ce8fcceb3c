#pragma once

class MainWindow;

// The start-up sequence between creating the application object and running its event loop.
namespace StartUp {
// Before the application object exists: the toolkit's high-DPI scaling (with pictures at the
// screen's resolution and fractional factors kept as they are) and the log filter that keeps the
// parsers' debug traces out of the terminal unless OFDREADER_VERBOSE=1 asks for them.
void PrepareApplication();
// Font, application and display name, UTF-8 as the locale codec, unit conversion, cursors.
void InitApplication();
// The frameless main window, shown; it lives until the process ends. It comes back at the size and
// place it had, and the readers remember their zoom mode and side bar; all is saved when the
// application quits, in the settings file of the user's config folder.
MainWindow *CreateMainWindow();
} // namespace StartUp
