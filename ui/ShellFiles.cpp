#include "ui/ShellFiles.hpp"

#include <QFile>

#include <QList>
#include <QMimeData>
#include <QUrl>

namespace quorvel::ui {
namespace {

const QString kGnomeCopiedFiles = QStringLiteral("x-special/gnome-copied-files");

// The local files of the data, in their order.
QList<QUrl> FileUrls(const QMimeData* data) {
    QList<QUrl> urls;
    if (!data) return urls;
    if (data->hasUrls()) {
        urls = data->urls();
    } else if (data->hasFormat(kGnomeCopiedFiles)) {
        // "copy" or "cut", then one URL a line.
        const QList<QByteArray> lines = data->data(kGnomeCopiedFiles).split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            if (!line.isEmpty()) urls.append(QUrl::fromEncoded(line));
        }
    }
    urls.removeIf([](const QUrl& url) { return !url.isLocalFile(); });
    return urls;
}

}  // namespace

bool HoldsFileList(const QMimeData* data) { return !FileUrls(data).isEmpty(); }

QString FirstFileOf(const QMimeData* data) {
    const QList<QUrl> urls = FileUrls(data);
    if (urls.isEmpty()) return {};
    const QString path = urls.first().toLocalFile();
    if (path.size() > kMaxShellPathLength) return {};
    return path;
}

std::filesystem::path PathFromQString(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString QStringFromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

}  // namespace quorvel::ui
