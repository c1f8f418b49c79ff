#pragma once

#include <QString>
#include <cstdint>

namespace slamwise {

// Texts that come from files and paths (an image's title, a remembered path) are shown exactly
// as they are, whatever characters they hold.

// For a menu entry's caption: '&' is doubled, so it shows instead of marking an access key.
QString asMenuText(const QString& text);

// For a window caption: Qt's placeholder "[*]" (the mark of a modified document) is doubled,
// so it shows as written.
QString asCaptionText(const QString& text);

// The tooltip of a label showing an image offset. For an image behind a copier header it also
// gives the offset in the file, in the label's form ("$1FBACF" or "2079439"), since that is the
// number a hex editor shows.
enum class OffsetForm { Hex, Decimal };
QString offsetToolTip(std::uint32_t imageOffset, std::uint32_t headerSize, OffsetForm form);

}  // namespace slamwise
