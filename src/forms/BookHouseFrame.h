#pragma once

#include "RecordSet.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class TFormMain;
class TReportGrid;
class TShareDM;

// The book overview: every account book with its balance, receivables and payables up to the
// picked date, filtered by name.
class TFrameBookHouse : public QWidget
{
    Q_OBJECT
public:
    TFrameBookHouse(TShareDM &dm, TFormMain *mainForm, QWidget *parent = nullptr);

    void LoadBooks();
    int LoadCount() const { return m_loadCount; }
    TQuery Books;
    TReportGrid *BookGrid = nullptr;
    QLabel *SpTBXLabel1 = nullptr;
    QLineEdit *edAccountInfo = nullptr;
    QPushButton *SpTBXButton1 = nullptr;

private:
    TShareDM &m_dm;
    TFormMain *m_main;
    int m_loadCount = 0;
};
