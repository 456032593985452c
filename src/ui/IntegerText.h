#pragma once

#include <QString>
#include <optional>

namespace brevanto {

// The whole text as a decimal integer (blanks around it allowed), as an edit
// box's number is read; nothing when it is not one or leaves the int range.
std::optional<int> ParseIntegerText(const QString& text);

// The toolkit's message for a text that is not an integer.
QString NotAnIntegerMessage(const QString& text);

}  // namespace brevanto
