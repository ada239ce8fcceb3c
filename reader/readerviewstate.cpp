#include "reader/readerviewstate.h"

#include <QSettings>

namespace {
struct State
{
    bool enabled = false;
    float zoomMode = 1.0f;
    bool leftBarOpen = false;
    int panel = -1;
};

State &Current()
{
    static State state;
    return state;
}

// The rates the reader accepts (10% to 6400%) and the two fit modes.
bool IsValidZoomMode(float mode)
{
    return mode == -2.0f || mode == -1.0f || (mode >= 0.1f && mode <= 64.0f);
}
} // namespace

bool ReaderViewState::IsEnabled()
{
    return Current().enabled;
}

void ReaderViewState::SetEnabled(bool enabled)
{
    Current().enabled = enabled;
}

float ReaderViewState::GetZoomMode()
{
    return Current().zoomMode;
}

void ReaderViewState::SetZoomMode(float mode)
{
    if (IsValidZoomMode(mode))
        Current().zoomMode = mode;
}

bool ReaderViewState::IsLeftBarOpen()
{
    return Current().leftBarOpen;
}

int ReaderViewState::GetPanel()
{
    return Current().panel;
}

void ReaderViewState::SetLeftBar(bool open, int panel)
{
    if (panel < -1 || panel > 4)
        return;
    Current().leftBarOpen = open && panel >= 0;
    if (panel >= 0)
        Current().panel = panel;
}

void ReaderViewState::Load(QSettings &settings)
{
    bool ok = false;
    const float mode = settings.value(QStringLiteral("view/zoomMode")).toFloat(&ok);
    if (ok)
        SetZoomMode(mode);
    const int panel = settings.value(QStringLiteral("view/leftPanel"), -1).toInt(&ok);
    if (ok)
        SetLeftBar(settings.value(QStringLiteral("view/leftBarOpen"), false).toBool(), panel);
}

void ReaderViewState::Save(QSettings &settings)
{
    settings.setValue(QStringLiteral("view/zoomMode"), double(Current().zoomMode));
    settings.setValue(QStringLiteral("view/leftBarOpen"), Current().leftBarOpen);
    settings.setValue(QStringLiteral("view/leftPanel"), Current().panel);
}

void ReaderViewState::Reset()
{
    const bool enabled = Current().enabled;
    Current() = State();
    Current().enabled = enabled;
}
