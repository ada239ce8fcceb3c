#pragma once

class QSettings;

// The view choices a new document starts with: the zoom mode and the side bar the user chose last.
// Process-wide; the application turns remembering on at start-up and keeps the values in its
// settings file between runs. While it is off (the default, as in library use) nothing is recorded
// and every document starts at actual size with the side bar closed.
class ReaderViewState
{
public:
    static bool IsEnabled();
    static void SetEnabled(bool enabled);

    // -2 fit width, -1 fit page height, otherwise a rate (1.0 actual size).
    static float GetZoomMode();
    static void SetZoomMode(float mode);
    static bool IsLeftBarOpen();
    // 0 outline, 1 thumbnails, 2 custom tags, 3 annotations, 4 attachments; -1 none yet.
    static int GetPanel();
    static void SetLeftBar(bool open, int panel);

    // Keys "view/zoomMode", "view/leftBarOpen", "view/leftPanel". Values out of range are ignored.
    static void Load(QSettings &settings);
    static void Save(QSettings &settings);
    // Back to actual size and a closed side bar.
    static void Reset();
};
