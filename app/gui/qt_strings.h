// Text between the headless core (UTF-8 std::string) and Qt.
#pragma once

#include <QDir>
#include <QString>
#include <string>

namespace sism {

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
  return s.toStdString();
}

// A path from a Qt dialog or URL with the platform's separators.
inline std::string PathOf(const QString& s) {
  return QDir::toNativeSeparators(s).toStdString();
}

}  // namespace sism
