#pragma once
// Small pieces the desktop's forms share: the date edit (typed as dd/mm/aaaa), the key a form's
// handlers understand, and whether a focus change is the user leaving a field.
#include <QFocusEvent>
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
// Moves the focus to the next field of the window in tab order, as Tab does.
void ProximoCampo(QWidget* atual);
