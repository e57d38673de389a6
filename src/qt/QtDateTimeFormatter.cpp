#include "qt/QtDateTimeFormatter.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

namespace tolvane {

std::string QtDateTimeFormatter::ShortDate(const LocalDateTime& moment) {
    const QDate date(moment.year, moment.month, moment.day);
    return QLocale::system().toString(date, QLocale::ShortFormat).toStdString();
}

std::string QtDateTimeFormatter::LongTime(const LocalDateTime& moment) {
    const QTime time(moment.hour, moment.minute, moment.second);
    // The long format ends in the time zone's name, which the tooltip leaves out.
    static const QRegularExpression kZoneName(QStringLiteral("\\s*\\(?t+\\)?\\s*"));
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(kZoneName);
    return QLocale::system().toString(time, format.trimmed()).toStdString();
}

}  // namespace tolvane
