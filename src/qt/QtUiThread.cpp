#include "qt/QtUiThread.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace tolvane {

void QtUiThread::Post(std::function<void()> task) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
    }
}

}  // namespace tolvane
