#pragma once

#include <vector>

#include "platform/Platform.h"

namespace slamwise {

// The entries of the dialogs that pick an image; the second one is preselected.
inline const std::vector<FileTypeFilter> kImageFileFilters = {
    {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")},
    {QStringLiteral("All SNES ROM Files (*.swc, *.smc, *.sfc, *.fig)"),
     QStringLiteral("*.smc;*.swc;*.sfc;*.fig")},
    {QStringLiteral("Super MagiCom ROM File (*.smc)"), QStringLiteral("*.smc")},
    {QStringLiteral("Super Wild Card ROM File (*.swc)"), QStringLiteral("*.swc")},
    {QStringLiteral("Super Famicom ROM File (*.sfc)"), QStringLiteral("*.sfc")},
    {QStringLiteral("Super UFO 8/Pro Fighter X ROM File (*.fig)"), QStringLiteral("*.fig")},
};
inline constexpr int kPreselectedImageFilter = 1;

}  // namespace slamwise
