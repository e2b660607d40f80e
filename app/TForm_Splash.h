#pragma once

#include <QWidget>
#include <memory>

class QLabel;

namespace ks {

class TOneInstance;

// The splash window: product name and version on our artwork, no border, on top, centred. It
// carries the single-instance lock for as long as the process lives.
class TForm_Splash : public QWidget {
    Q_OBJECT
public:
    // Takes (or finds taken) the single-instance lock of `programDirectory`.
    explicit TForm_Splash(const QString& programDirectory, QWidget* parent = nullptr);
    ~TForm_Splash() override;

    TOneInstance& OneInstance1() const { return *m_oneInstance; }
    QString captionText() const;

    // Shows the window and paints it at once, before the start-up blocks the event loop.
    void showNow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TOneInstance> m_oneInstance;
    QLabel* m_caption = nullptr;
};

} // namespace ks
