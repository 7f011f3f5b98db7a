#include "platform/widgets/QtWaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

void QtWaitCursor::BeginWaitCursor()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtWaitCursor::EndWaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
}
