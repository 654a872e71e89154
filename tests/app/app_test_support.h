#pragma once

#include "application_test_support.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
