#include "platform/ShownText.h"

#include "storage/RomFile.h"

namespace slamwise {

QString asMenuText(const QString& text) {
    QString shown = text;
    return shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString asCaptionText(const QString& text) {
    QString shown = text;
    return shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

QString offsetToolTip(std::uint32_t imageOffset, std::uint32_t headerSize, OffsetForm form) {
    QString tip = QStringLiteral("Click to copy an offset.");
    if (headerSize == 0) {
        return tip;
    }
    const std::uint32_t inFile = imageOffset + headerSize;
    return tip + QStringLiteral(" In the file, after its %1-byte copier header: %2.")
                     .arg(headerSize)
                     .arg(form == OffsetForm::Hex ? QString::fromStdString(hexOffset(inFile))
                                                  : QString::number(inFile));
}

}  // namespace slamwise
