// SPDX-License-Identifier: MIT
// Quenrow: every warning box goes through here, so tests can take them.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace quenrow {

inline constexpr const char *kProgramTitle = "Quenrow";

using WarningHandler = std::function<void(QWidget *parent, const QString &text)>;

// Modal box: exclamation icon, one OK button, caption "Quenrow".
void showWarning(QWidget *parent, const QString &text);

// Replaces the box (tests record instead of blocking); returns the old handler.
WarningHandler setWarningHandler(WarningHandler handler);

} // namespace quenrow
