#pragma once

#include <QLoggingCategory>

// Debug output of the image decoders ("ofd.imaging"); codec complaints go here, never to stderr directly.
Q_DECLARE_LOGGING_CATEGORY(lcOfdImaging)
