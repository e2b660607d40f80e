#include "common/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace ks {

namespace {

class DesktopShell : public Shell {
public:
    bool open(const QString& target) override {
        QUrl url;
        if (QFileInfo::exists(target))
            url = QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
        else if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
            url = QUrl(QStringLiteral("http://") + target);
        else
            url = QUrl(target);
        return QDesktopServices::openUrl(url);
    }
    bool printFile(const QString& path) override {
        // CUPS prints most document types directly.
        return QProcess::startDetached(QStringLiteral("lp"), {path});
    }
};

std::unique_ptr<Shell>& slot() {
    static std::unique_ptr<Shell> s;
    return s;
}

} // namespace

Shell& Shell::current() {
    auto& s = slot();
    if (!s)
        s = std::make_unique<DesktopShell>();
    return *s;
}

void Shell::install(std::unique_ptr<Shell> shell) { slot() = std::move(shell); }

} // namespace ks
