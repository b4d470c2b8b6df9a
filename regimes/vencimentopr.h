#pragma once
// The due day of Paraná's payment codes: each of the five sub-code columns of the revenue code
// (CODIGO1 to CODIGO5) may hold a rule "day,digits" ("15,0123": day 15 for the inscriptions whose
// key digit is 0, 1, 2 or 3). The regular regime keys on the third digit from the end of the state
// inscription, the small business on its last digit. The first rule that applies gives the day;
// with none, the row's DIAVENCTO.
#include <optional>
#include <string>

#include "apuracao/resumo.h"

namespace vencimentopr {

// The digits of a state inscription, its punctuation dropped.
std::string Digitos(const std::string& inscricao);

// The payment code of the row with the day its rules give for the key digit (none: no rule
// applies), an empty sub-code and no due date yet. A rule that applies but whose day is not a whole
// number (a rule without a comma among them) is an error naming the row and the column: the
// settlement cannot know when the tax falls due.
TCodigoRecolhimento CodigoRecolhimento(const TCodigoRecolhimentoConfigurado& linha, std::optional<char> digito);

}  // namespace vencimentopr
