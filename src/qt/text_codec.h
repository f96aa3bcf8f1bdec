// The one place where the system's 8-bit Windows-1252 text meets the
// toolkit's Unicode strings. Characters outside the code page become "?".
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tabulon {

QString ToQt(std::string_view cp1252);
std::string FromQt(const QString& text);

}  // namespace tabulon
