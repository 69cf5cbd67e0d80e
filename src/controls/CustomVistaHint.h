#pragma once

#include <QString>
#include <QWidget>

class QApplication;
class QPropertyAnimation;

// The application's hint window: a borderless, rounded box shaded from white to a pale
// blue-grey, with grey word-wrapped text, fading in. Install() routes every widget tooltip
// (toolbar actions included) through it instead of QToolTip.
class TVistaHintWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TVistaHintWindow(QWidget *parent = nullptr);

    // One application-wide event filter that answers tooltip requests of widgets with a
    // toolTip(). Call once at start, before any hint shows; later calls do nothing.
    static void Install(QApplication *app);
    // The hint showing now, or null.
    static TVistaHintWindow *Current();

    // The text rectangle (at 0,0) a hint needs in the hint font, wrapping at maxWidth.
    static QRect CalcHintRect(const QString &text, int maxWidth = 400);
    // rect is the text rectangle placed where the hint goes. The window is 16 × 10 larger,
    // starts at rect's top-left and is moved left if it would pass the screen's right edge.
    void ActivateHint(const QRect &rect, const QString &text);
    QString HintText() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QPropertyAnimation *m_fade = nullptr;
};
