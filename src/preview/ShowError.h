#pragma once

#include <exception>

class Failure;
class QWidget;

// The component's one failure reporter: a message box with the failure's description as its
// text, the critical-stop icon, and the failure's source as its title. The failing operation
// then ends; nothing is logged or retried.
void ShowError(const Failure &failure, QWidget *parent = nullptr);
// For anything else that escaped (out of memory, a library's own exception).
void ShowError(const std::exception &error, QWidget *parent = nullptr);
