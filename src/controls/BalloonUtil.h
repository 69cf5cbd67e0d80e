#pragma once

#include <QColor>
#include <QMetaObject>
#include <QPainterPath>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

// A balloon tip pointing at an input control, with an icon, a bold title and a text. One balloon
// at a time: showing it on another control moves it there. It goes away on the first key pressed
// in an edit or list control, when that control loses the focus, when the control moves or its
// window hides, when the application is deactivated, or after DelayTime.
class TXpTooltip : public QWidget
{
    Q_OBJECT
public:
    explicit TXpTooltip(QWidget *parent = nullptr);
    ~TXpTooltip() override;

    // icon is taken modulo 4: 0 none, 1 information, 2 warning, 3 error.
    void Show(QWidget *control, int icon, const QString &text, const QString &title);
    void Hide();

    // The control the last balloon pointed at (null once that control is deleted).
    QWidget *CurrentControl() const { return m_control; }
    QString Title() const { return m_title; }
    QString Text() const { return m_text; }
    int Icon() const { return m_icon; }
    // Global point the stem touches: the control's left + 15, bottom − 5.
    QPoint Anchor() const { return m_anchor; }

    // Edits and lists get the focus and lose the balloon on their first key press.
    static bool IsHookedControl(const QWidget *control);

    QColor Background { 255, 251, 240 };
    QColor FontColor { Qt::black };
    int DelayTime = 3500;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void releaseControl();
    void checkControlPlace();
    void layoutBalloon();
    QPainterPath balloonPath() const;
    static QPoint anchorOf(const QWidget *control);

    QPointer<QWidget> m_control;
    QPointer<QWidget> m_form;
    std::vector<QPointer<QWidget>> m_hooked;
    QMetaObject::Connection m_destroyedConnection;
    QString m_title;
    QString m_text;
    int m_icon = 0;
    QPoint m_anchor;
    // Where layoutBalloon put things, in the balloon's own coordinates.
    bool m_stemOnTop = true;
    int m_stemX = 0;
    QRect m_iconRect;
    QRect m_titleRect;
    QRect m_textRect;
    QTimer m_delayTimer;
    QTimer m_pollTimer;
};
