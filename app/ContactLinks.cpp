#include "app/ContactLinks.h"

#include "common/Shell.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QUrl>

namespace ks {

namespace {
// Shows the busy cursor for as long as it lives.
struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
} // namespace

bool ContactLinks::LooksLikeWebAddress(const QString& text) {
    const QString t = text.trimmed().toUpper();
    return (t.startsWith(QLatin1String("HTTP://")) && t.size() > 7) ||
           (t.startsWith(QLatin1String("WWW.")) && t.size() > 4);
}

QString ContactLinks::mailtoTarget(const QString& address) {
    QString escaped = address;
    escaped.replace(QLatin1Char('%'), QLatin1String("%25"))
        .replace(QLatin1Char('?'), QLatin1String("%3F"))
        .replace(QLatin1Char('#'), QLatin1String("%23"))
        .replace(QLatin1Char('&'), QLatin1String("%26"));
    return QStringLiteral("mailto:") + escaped;
}

void ContactLinks::openEmail(const QString& address) {
    BusyCursor busy;
    Shell::current().open(mailtoTarget(address));
}

bool ContactLinks::openWebSite(const QString& text) {
    if (!LooksLikeWebAddress(text))
        return false;
    BusyCursor busy;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Shell::current().open(text.trimmed());
    return true;
}

} // namespace ks
