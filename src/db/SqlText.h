#pragma once

#include <QString>

namespace SqlText {
// A text as the inside of one SQL string literal: every "'" doubled, so that whatever a user
// typed stays one literal.
[[nodiscard]] QString literalInside(const QString &text);
} // namespace SqlText
