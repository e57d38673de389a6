#include "qt/QtLocale.h"

#include <QLocale>

namespace tolvane {

std::string QtLocale::HalfDayDesignator(const LocalDateTime& moment) {
    const QLocale locale = QLocale::system();
    return (moment.hour < 12 ? locale.amText() : locale.pmText()).toStdString();
}

}  // namespace tolvane
