#include "platform/Platform.h"

#include <QFileInfo>

namespace slamwise {

QString typeExtension(const FileTypeFilter& filter) {
    const QString first = filter.patterns.section(QLatin1Char(';'), 0, 0).trimmed();
    const QString extension = first.mid(2);
    if (!first.startsWith(QStringLiteral("*.")) || extension.isEmpty() ||
        extension.contains(QLatin1Char('*'))) {
        return {};
    }
    return extension;
}

QString withTypeExtension(const QString& path, const FileTypeFilter& filter) {
    const QString extension = typeExtension(filter);
    if (extension.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    return path + QLatin1Char('.') + extension;
}

std::optional<QString> FileDialog::saveFile(QWidget* parent, const FileQuestion& question) {
    std::optional<SaveAnswer> answer = askSaveFile(parent, question);
    if (!answer) {
        return std::nullopt;
    }
    const auto& filters = question.filters;
    if (answer->filter < 0 || answer->filter >= static_cast<int>(filters.size())) {
        return answer->path;
    }
    return withTypeExtension(answer->path, filters[static_cast<std::size_t>(answer->filter)]);
}

}  // namespace slamwise
