#pragma once
// Small pieces the desktop's forms share: the date edit (typed as dd/mm/aaaa), the key a form's
// handlers understand, whether a focus change is the user leaving a field, running a handler and
// moving on to the next field.
#include <QFocusEvent>
#include <functional>
#include <string>

#include "forms/form58140.h"

class QLineEdit;
class QWidget;

QLineEdit* NovaEdicaoData(const QString& nome);
// The text a form's date control holds: what was typed, "" when nothing was.
std::string TextoData(const QLineEdit* edicao);
TTecla TeclaDe(int teclaQt);
// The user left the field for another one of the window; a message box or another window taking
// the focus is not leaving it.
bool SaiuDoCampo(const QFocusEvent* evento);
// Runs a handler of a form's logic: false when a field check failed (the form has shown its
// message) or an error came out of it, which is shown over `pai`.
bool ExecutarManipulador(QWidget* pai, const std::function<void()>& manipulador);
// Moves the focus to the next field of the window in tab order, as Tab does, passing by the radio
// buttons of a group other than the one chosen.
void ProximoCampo(QWidget* atual);
