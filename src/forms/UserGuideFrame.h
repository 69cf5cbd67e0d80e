#pragma once

#include <QWidget>

class QLabel;
class TShareDM;

// The operation guide: eight links, each opening a help page of "UserGuide/" beside the program.
class TFrameUserGuide : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameUserGuide(TShareDM &dm, QWidget *parent = nullptr);

    QLabel *Link(int index) const { return m_links.value(index); }
    static QStringList Captions();
    static QStringList Pages();
    // Opens page `index` (0..7).
    void OpenPage(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TShareDM &m_dm;
    QList<QLabel *> m_links;
};
