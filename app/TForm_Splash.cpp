#include "app/TForm_Splash.h"

#include "app/AppInfo.h"
#include "app/TOneInstance.h"
#include "app/ToolIcons.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace ks {

TForm_Splash::TForm_Splash(const QString& programDirectory, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_oneInstance(std::make_unique<TOneInstance>(programDirectory)) {
    setObjectName(QStringLiteral("Form_Splash"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(460, 260);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(150, 56, 28, 24);
    layout->setSpacing(4);
    m_caption = new QLabel(AppInfo::productAndVersion(), this);
    m_caption->setObjectName(QStringLiteral("lblProduct"));
    QFont big = m_caption->font();
    big.setPointSizeF(big.pointSizeF() * 2.1);
    big.setBold(true);
    m_caption->setFont(big);
    auto* line = new QLabel(QStringLiteral("Your contacts, addresses and phone numbers"), this);
    line->setObjectName(QStringLiteral("lblTagLine"));
    line->setWordWrap(true);
    auto* loading = new QLabel(QStringLiteral("Opening the address book..."), this);
    loading->setObjectName(QStringLiteral("lblLoading"));
    for (QLabel* l : {m_caption, line, loading}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(p);
    }
    layout->addWidget(m_caption);
    layout->addWidget(line);
    layout->addStretch(1);
    layout->addWidget(loading);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

TForm_Splash::~TForm_Splash() = default;

QString TForm_Splash::captionText() const { return m_caption->text(); }

void TForm_Splash::showNow() {
    show();
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm_Splash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(rect().topLeft(), rect().bottomRight());
    sky.setColorAt(0, QColor(0x1d, 0x4e, 0x89));
    sky.setColorAt(1, QColor(0x12, 0x2f, 0x52));
    p.fillRect(rect(), sky);
    // A stack of address cards behind the program icon.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor(255, 255, 255, 40 + 30 * i));
        p.drawRoundedRect(QRectF(26 + 8 * i, 70 - 10 * i, 100, 120), 10, 10);
    }
    const QIcon icon = ToolIcons::appIcon();
    if (!icon.isNull())
        icon.paint(&p, QRect(34, 74, 96, 96));
    p.setPen(QColor(255, 255, 255, 90));
    p.drawLine(150, height() - 56, width() - 28, height() - 56);
}

} // namespace ks
