#include "render/imaging/imaginglog.h"

Q_LOGGING_CATEGORY(lcOfdImaging, "ofd.imaging", QtWarningMsg)
