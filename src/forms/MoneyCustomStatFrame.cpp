#include "MoneyCustomStatFrame.h"

#include "DataModule.h"

#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrameCustomStat::TFrameCustomStat(TShareDM &dm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(u"TFrameCustomStat1"_s);
    new QVBoxLayout(this);
}

void TFrameCustomStat::BuildStatistics()
{
    ++m_buildCount;
}
