#pragma once

#include "RecordSet.h"

#include <QWidget>

class QLineEdit;
class TFormMain;
class TShareDM;

// The book overview: every account book with its balance, receivables and payables up to the
// picked date.
class TFrameBookHouse : public QWidget
{
    Q_OBJECT
public:
    TFrameBookHouse(TShareDM &dm, TFormMain *mainForm, QWidget *parent = nullptr);

    void LoadBooks();
    int LoadCount() const { return m_loadCount; }
    TQuery Books;
    QLineEdit *edAccountInfo = nullptr;

private:
    TShareDM &m_dm;
    TFormMain *m_main;
    int m_loadCount = 0;
};
