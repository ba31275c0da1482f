#pragma once

#include <QIcon>

// Lomvato's icon from the program's resources: the SVG where the Qt SVG plugin is present, otherwise the
// 64×64 PNG drawn from it.
QIcon applicationIcon();
