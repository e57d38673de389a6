#include "qt/QtMessagePump.h"

#include <QCoreApplication>

namespace tolvane {

void QtMessagePump::DispatchPending() {
    QCoreApplication::processEvents();
}

}  // namespace tolvane
